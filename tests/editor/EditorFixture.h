#pragma once
// Each test gets its own report editor, a scripted prompt that fails the test on any
// question it did not expect, and a temporary folder for files.
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/ReportEditor.h"
#include "editor/Ruler.h"
#include "editor/TextControl.h"
#include "editor/frmMDIChild.h"
#include "editor/frmMDIParent.h"
#include "platform/ui/ScriptedPrompt.h"

namespace qv::editor::test {

// The bytes of a PNG picture of one colour.
inline std::string PngBytes(int width = 16, int height = 8, Qt::GlobalColor color = Qt::blue) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png.toStdString();
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prompt.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
    editor = std::make_unique<ReportEditor>(EditorOptions{localeCode});
  }
  void TearDown() override {
    editor.reset();
    QApplication::processEvents();
  }

  // The editor shown, with document window 1.
  frmMDIParent& Frame() { return editor->ShowEditor(); }
  frmMDIChild& Doc(int slot) { return *editor->Documents.at(size_t(slot)); }
  TextControl& Tx(int slot) { return *Doc(slot).TXTextControl1; }
  // Types text into a document as the keyboard does.
  void Type(TextControl& tx, const QString& text) { QTest::keyClicks(&tx, text); }
  std::string Path(const std::string& name) const { return QDir(dir.path()).filePath(QString::fromStdString(name)).toStdString(); }
  std::string Write(const std::string& name, const std::string& content) const {
    QFile f(QString::fromStdString(Path(name)));
    f.open(QIODevice::WriteOnly);
    f.write(content.data(), qint64(content.size()));
    return Path(name);
  }
  std::string Read(const std::string& path) const {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
  }
  int OpenWindows() {
    return frame() ? int(frame()->MdiArea()->subWindowList().size()) : 0;
  }
  frmMDIParent* frame() const { return editor->Frame(); }

  int localeCode = 1;
  ui::ScriptedPrompt prompt;
  ui::ScopedPrompt scope{prompt};
  QTemporaryDir dir;
  std::unique_ptr<ReportEditor> editor;
};

}  // namespace qv::editor::test
