#pragma once
// The residual lookup window: the residual percentages of a vehicle in the residual guide
// of one model year (the main window's residual menu sets the year, SharedState::ModelYear,
// and shows the window modally). The user picks a manufacturer and a model line; the list
// shows its residuals for 24, 36, 48 and 60 months, raised for 12,000 miles a year; add and
// deduct lines can be locked into the residuals of their model; "&Use Residual" writes the
// residual, the term and the allowed miles onto the page after a confirmation.
#include <array>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"
#include "pricing/ResidualLookup.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace qv {

class ALGRes : public ui::QvDialog {
  Q_OBJECT

 public:
  ALGRes(Engine& engine, Owner& owner);

  Engine& eng;
  Owner& owner;

  QListWidget* lstMfg = nullptr;        // manufacturers (item data: the first record number)
  QListWidget* lstModel = nullptr;      // the manufacturer's run of lines
  QListWidget* lstResValues = nullptr;  // the four residual lines
  std::array<QRadioButton*, 2> Option1{};  // 0 "12,000 Miles", 1 "15,000 Miles"
  QLabel* Label1 = nullptr;
  // 0 "&Use Residual", 1 "&Cancel", 2 "&Add" / "&Deduct" / "Un-&Lock"
  // (U stays with "&Use Residual").
  std::array<QPushButton*, 3> cmdbutUse{};

  // ---- handlers ----
  void Form_Load();
  void UpdateModel();
  void UpdateRes();
  std::string FindModelHeader() const;
  void cmdbutUse_Click(int Index);
  void lstMfg_Click();
  void lstMfg_KeyUp(int KeyCode, int Shift);
  void lstModel_Click();
  void lstModel_KeyUp(int KeyCode, int Shift);
  void lstModel_KeyPress(int& KeyAscii);
  void Option1_Click(int Index);

  // The lines, locks and residuals behind the lists.
  const pricing::ResidualLookup& Lookup() const { return lookup_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void ShowError(const std::string& message);

  pricing::ResidualLookup lookup_;
};

}  // namespace qv
