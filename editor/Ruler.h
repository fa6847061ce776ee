#pragma once
// The ruler above a document's text: the page width with its margins, and for the paragraph
// at the caret its left, first-line and right indents and its tab stops. Dragging a marker
// sets the indent; a click in the lower half adds a left tab stop there; dragging a tab stop
// off the ruler removes it. It scrolls and zooms with the text control it serves.
#include <QWidget>

#include <optional>

namespace qv::editor {

class TextControl;

class Ruler : public QWidget {
  Q_OBJECT

 public:
  explicit Ruler(TextControl& control, QWidget* parent = nullptr);

  QSize sizeHint() const override;

  // What the ruler shows, in twips from the left margin (the paragraph at the caret).
  struct Marks {
    int leftIndent = 0;
    int firstLine = 0;  // absolute position of the first line (left indent + first-line indent)
    int rightIndent = 0;
    std::vector<int> tabs;
  };
  Marks Current() const;

  // Ruler positions (pixels) of a length in twips from the left margin, and back.
  double XOfTwips(double twips) const;
  int TwipsOfX(double x) const;

  // Commands behind the mouse: each formats the paragraphs at the caret.
  void SetLeftIndent(int twips);
  void SetFirstLine(int twips);
  void SetRightIndent(int twips);
  void AddTab(int twips);
  void RemoveTab(int twips);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  enum class Handle { None, Left, FirstLine, Right, Tab };
  double Scale() const;
  double Origin() const;  // x of the page's left edge on the ruler

  TextControl& control_;
  Handle dragging_ = Handle::None;
  int dragTab_ = 0;
  std::optional<int> dragTo_;
};

}  // namespace qv::editor
