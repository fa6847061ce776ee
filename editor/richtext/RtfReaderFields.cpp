// The RTF reader's fields: the result's text is read into the paragraph as any text, and
// becomes the field's run when the field's group ends.
#include "editor/richtext/RtfReaderParts.h"

namespace qv::richtext::rtfread {

void StartFieldResult(FieldState& field, long long paragraphsEnded, const Paragraph& para) {
  field.result = true;
  field.paragraph = paragraphsEnded;
  field.run = para.runs.size();
  if (!para.runs.empty() && para.runs.back().kind == TextRun::Kind::Text)
    field.offset = para.runs.back().text.size();
}

bool TakeFieldResult(const FieldState& f, long long paragraphsEnded, Paragraph& para, TextRun& run) {
  if (!f.result) return true;
  if (f.paragraph != paragraphsEnded || f.run > para.runs.size()) return false;
  for (size_t k = f.run; k < para.runs.size(); ++k)
    if (para.runs[k].kind != TextRun::Kind::Text) return false;
  bool formatSet = false;
  if (f.offset != std::string::npos && f.run > 0) {
    TextRun& before = para.runs[f.run - 1];
    if (before.text.size() > f.offset) {
      run.text = before.text.substr(f.offset);
      run.format = before.format;
      formatSet = true;
      before.text.resize(f.offset);
    }
  }
  for (size_t k = f.run; k < para.runs.size(); ++k) {
    if (!formatSet && !para.runs[k].text.empty()) {
      run.format = para.runs[k].format;
      formatSet = true;
    }
    run.text += para.runs[k].text;
  }
  para.runs.resize(f.run);
  return true;
}

}  // namespace qv::richtext::rtfread
