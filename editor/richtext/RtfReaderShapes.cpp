// The RTF reader's shapes (Word 97 and later, \shp) and drawing objects (Word 95, \do): the
// editor keeps neither the shape nor its frame, only the text of a text box, which is read
// as paragraphs where the box is anchored. Everything else a shape holds (its instance
// words, its properties \sp with their names and values, the drawing object's words) is
// never text. A shape's \shprslt, the copy of it for older readers, is skipped whole.
#include "editor/richtext/RtfReaderParts.h"

namespace qv::richtext::rtfread {

bool IsTextBoxText(std::string_view word) { return word == "shptxt" || word == "dptxbxtext"; }

bool ShapeTextShown(std::string_view word, bool shown) {
  if (IsTextBoxText(word)) return true;
  if (word == "shp") return shown;  // the shape's group holds its instance and result
  return false;                     // \shpinst, \sp, \do
}

}  // namespace qv::richtext::rtfread
