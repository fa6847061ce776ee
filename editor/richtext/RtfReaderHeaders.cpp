// The RTF reader's headers and footers: one is read as the document's text is, into blocks
// of its own, while the text read so far waits aside until its group ends.
#include <utility>

#include "editor/richtext/RtfReaderParts.h"

namespace qv::richtext::rtfread {

SavedStory SetStoryAside(std::string kind, Story now) {
  SavedStory saved;
  saved.kind = std::move(kind);
  saved.blocks = std::move(now.blocks);
  now.blocks.clear();
  saved.para = std::move(now.para);
  now.para = Paragraph{};
  saved.levels = std::move(now.levels);
  now.levels.clear();
  now.levels.reserve(size_t(kMaxTableDepth));
  saved.pendingPageBreak = now.pendingPageBreak;
  now.pendingPageBreak = false;
  return saved;
}

HeaderFooter RestoreStory(SavedStory saved, Story now) {
  HeaderFooter h;
  h.kind = std::move(saved.kind);
  h.blocks = std::move(now.blocks);
  now.blocks = std::move(saved.blocks);
  now.para = std::move(saved.para);
  now.levels = std::move(saved.levels);
  now.pendingPageBreak = saved.pendingPageBreak;
  return h;
}

}  // namespace qv::richtext::rtfread
