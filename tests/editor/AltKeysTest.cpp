// The Alt letters of the report editor: no two visible controls or menu titles of its frame
// or of one of its dialogs share one (Qt otherwise only moves the focus between them, and a
// menu title's letter no longer opens its menu at the first press).
#include "tests/editor/EditorFixture.h"

#include <QMenuBar>

#include <functional>
#include <string>
#include <utility>

#include "editor/ControlDialogs.h"
#include "editor/EditorDialogs.h"
#include "editor/Formats.h"
#include "tests/dialogs/AltLetters.h"

namespace qv::editor::test {
namespace {

// The clashes of a window, shown.
std::string ClashesOf(QWidget& w) {
  w.show();
  return qv::test::ClashReport(&w);
}

// The clashes of a dialog of type D made from `args`.
template <class D, class... Args>
std::string DialogClashes(Args&&... args) {
  D dialog(std::forward<Args>(args)...);
  return ClashesOf(dialog);
}

TEST_F(EditorTest, NoTwoCaptionsOfTheEditorOrItsDialogsShareAnAltLetter) {
  frmMDIParent& f = Frame();
  TextControl& tx = Tx(1);
  Type(tx, "text");
  editor->DialogTarget = &tx;
  const std::pair<const char*, std::function<std::string()>> windowsToWalk[] = {
      {"frmMDIParent, a document open",
       [&] {
         EXPECT_GE(f.menuBar()->actions().size(), 5);  // the document's menus
         return ClashesOf(f);
       }},
      {"frmPageDlg", [&] { return DialogClashes<frmPageDlg>(*editor, frame()); }},
      {"frmFramesDlg", [&] { return DialogClashes<frmFramesDlg>(*editor, frame()); }},
      {"frmTableDlg", [&] { return DialogClashes<frmTableDlg>(*editor, frame()); }},
      {"frmImageDlg",
       [&] {
         QTextCursor c = tx.textCursor();
         c.movePosition(QTextCursor::End);
         EXPECT_TRUE(InsertPictureAt(PngBytes(), c));
         tx.SetSelection(4, 1);
         tx.SetObjectTextflow(1);  // a fixed object: its borders enabled
         return DialogClashes<frmImageDlg>(*editor, frame());
       }},
      {"PrintPreview", [&] { return DialogClashes<PrintPreview>(tx, frame()); }},
      {"Search", [&] { return DialogClashes<FindReplaceDlg>(tx, false, frame()); }},
      {"Replace", [&] { return DialogClashes<FindReplaceDlg>(tx, true, frame()); }},
      {"ParagraphDlg", [&] { return DialogClashes<ParagraphDlg>(tx, editor->MeasureUnit, frame()); }},
      {"TableAttrDlg",
       [&] {
         EXPECT_TRUE(tx.TableInsert(2, 2));
         return DialogClashes<TableAttrDlg>(tx, frame());
       }},
      {"frmAboutDlg", [&] { return DialogClashes<frmAboutDlg>(frame()); }},
  };
  for (const auto& [name, clashes] : windowsToWalk) {
    SCOPED_TRACE(name);
    EXPECT_EQ(clashes(), "");
  }
}

}  // namespace
}  // namespace qv::editor::test
