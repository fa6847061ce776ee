#pragma once
// CRebar: the band container that carries the main window's toolbar. A thin facade over
// the main window's tool-bar area: every band is a QToolBar in the top area (a toolbar
// given as the band's child is the band itself; any other widget is put into a toolbar of
// its own), with flat image buttons, tool tips and the toolbar's own overflow chevron
// when the window is too narrow for every button.
//
// The interface keeps the shape the main window has always used: Parent, Create, then
// AddBands; TBMakeFlat turns the toolbar inside a container flat. The main window lays its
// tool-bar area out itself, so Resize and Move only repaint the bands. Band colours follow
// the system's button colours and are set again when the system palette changes.
#include <QObject>
#include <QPixmap>
#include <QPointer>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QMainWindow;
class QToolBar;
class QWidget;

namespace qv {

class CRebar : public QObject {
 public:
  // Band style values: child edge, fixed bitmap, gripper always, chevron; the line-break bit
  // starts the band on a new row.
  static constexpr uint32_t kBandStyle = 0x2A4;
  static constexpr uint32_t kLineBreak = 0x001;
  static constexpr int kTwipsPerPixel = 15;

  // Class_Initialize: no rebar yet.
  explicit CRebar(QObject* owner = nullptr);
  ~CRebar() override;

  // Makes the toolbar of the container (the container itself when it is a toolbar, else its
  // first toolbar child) flat; listStyle True (-1) puts the texts beside the images. A
  // container without a toolbar changes nothing.
  void TBMakeFlat(QWidget* container, int16_t listStyle);
  // Appends a band carrying `child`, with its text and id. Style selector 1 continues the row
  // of the bands before it; any other value starts a new row. A minimum width (in the old
  // window units, 15 twips per pixel: 10 gives 150 pixels) keeps the band from getting
  // narrower; without one a band made for a widget keeps that widget's width.
  void AddBands(const std::string& text, int16_t bandId, QWidget* child, int32_t styleSelector,
                std::optional<int> minWidth = std::nullopt);
  // The id of the band at a 0-based index; 0 for an index past the last band.
  int32_t GetBandId(int16_t index) const;
  // Sets every band's foreground and background to the system's button text and button face.
  void SetBandColors();
  // Hides the bands, hands their children back to the parent window and removes the bands.
  void DestroyRebar();
  // The window that holds the bands (nullptr before Create).
  QWidget* GetRebarWindow() const { return hwnd(); }
  void RemoveBands(int16_t index);
  void Resize(QWidget* container);
  void Move(int left, int top, int width, int height);
  QWidget* hwnd() const { return handle_; }
  // True when the rebar exists; false (and nothing created) without a Parent.
  bool Create();
  void SetParent(QMainWindow* parent) { parent_ = parent; }
  QMainWindow* Parent() const { return parent_; }
  // A picture the bands show as their background (none by default).
  void SetImageForRebar(const QPixmap& picture) { image_ = picture; }
  // The window that receives the rebar's notifications.
  void SetMainParent(QWidget* form) { notify_ = form; }
  QWidget* MainParent() const { return notify_; }

  // Bands, for the window and its tests.
  int BandCount() const { return static_cast<int>(bands_.size()); }
  QToolBar* Band(int index) const;
  uint32_t BandStyle(int index) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct BandInfo {
    QPointer<QToolBar> bar;
    QPointer<QWidget> child;
    bool wrapper = false;  // the toolbar was made for a child that is not a toolbar
    int32_t id = 0;
    uint32_t style = 0;
  };
  void ColorBand(QToolBar* bar) const;

  QPointer<QMainWindow> parent_;
  QPointer<QWidget> handle_;
  QPointer<QWidget> notify_;
  // The parent as the object whose events are watched (compared without a downcast, also
  // while the parent is being destroyed).
  QPointer<QObject> watched_;
  QPixmap image_;
  std::vector<BandInfo> bands_;
};

}  // namespace qv
