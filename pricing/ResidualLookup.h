#pragma once
// The state and computations of the residual lookup window (`ALGRes`), without the window:
// the manufacturers of a model year, the run of lines of the chosen manufacturer, the
// group line of a line (`FindModelHeader`), the residual lines of the selected line
// (`UpdateRes`), locking add and deduct adjustments, the mileage points, and what
// "&Use Residual" computes, asks and writes onto the page.
//
// The lock state is kept beside the lines, not in their texts: a locked line shows the
// marker " <lock>" in front of its text, but the marker never decides what a line is.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "pricing/ResidualFiles.h"

namespace qv {
class Engine;
}

namespace qv::pricing {

class ResidualLookup {
 public:
  static constexpr const char* kLockMarker = " <lock>";

  // `Form_Load`: reads the manufacturer index of `modelYear` ("1997" to "2000") from the
  // program folder. False with a message naming the file when it is missing; the list is
  // then empty.
  bool Load(const std::string& appFolder, const std::string& modelYear, std::string& error);
  // "ALG Residuals for " & year & " Models".
  std::string Caption() const;
  const std::string& ModelYear() const { return modelYear_; }
  const ResidualIndex& Index() const { return index_; }
  // The texts of `lstMfg` (characters 1-17 of each index line).
  std::vector<std::string> ManufacturerTexts() const;

  // `UpdateModel`: lists the run of manufacturer `mfg` (an index into the manufacturer
  // list). Locks and locked sums are cleared. False with a message when the record file
  // is missing or the index names a record outside it; the model list is then empty.
  bool UpdateModel(int mfg, std::string& error);
  int LineCount() const { return static_cast<int>(lines_.size()); }
  const RunLine& Line(int i) const { return lines_[static_cast<size_t>(i)]; }
  // The text `lstModel` shows for line i: the marker in front when the line is locked.
  std::string LineText(int i) const;
  std::vector<std::string> LineTexts() const;
  bool IsLocked(int i) const;

  // The group line of line `sel`: the nearest line above it that is a model line of the
  // list (its first ten characters are not all blank, lock markers aside) or the run's
  // first line; nullopt when there is none (or sel is not a line).
  std::optional<int> GroupLineOf(int sel) const;
  // `FindModelHeader`: the group line's text, without lock marker; empty when none.
  std::string FindModelHeader(int sel) const;

  // The miles choice: true for "12,000 Miles", false for "15,000 Miles" (the default).
  void SetMiles12000(bool on) { miles12000_ = on; }
  bool Miles12000() const { return miles12000_; }

  // What `UpdateRes` shows for the selected line (sel < 0: none).
  struct ResView {
    bool showsResidual = false;  // false: the list stays empty and Label1 keeps its text
    std::string label1;          // when showsResidual
    bool button2Visible = false;
    std::string button2Caption;  // "&Add", "&Deduct" or "Un-&Lock" when visible
    std::vector<std::string> lines;  // the four lines of `lstResValues`
  };
  ResView UpdateRes(int sel) const;

  // `cmdbutUse_Click` 2: locks the selected add or deduct adjustment line ("ADD", "EAA",
  // "EDA" with data) into the sums of its group, or unlocks it. False when the line cannot
  // be locked (another kind, or another group holds the locks). Afterwards UpdateRes(sel)
  // gives the new caption.
  bool ToggleLock(int sel);
  // The locked percentage points for 24, 36, 48 and 60 months (term 0..3).
  double LockedAdjust(int term) const { return lockedAdjust_[static_cast<size_t>(term)]; }
  // True while some line is locked; the locks then belong to the group line
  // LockedHeader() (the line index, -1 for lines without a group line).
  bool HasLocks() const { return lockedHeader_ != kNoLocks; }
  int LockedHeader() const { return lockedHeader_; }

  // `cmdbutUse_Click` 0, up to the confirmation: refused with a message (MSRP 0, no
  // residual line selected, a line that shows no residual: none, no data, "ADD", "EAA" or
  // "EDA"), or the residual of the selected line (a model or a trim) and the question text.
  struct UseChoice {
    bool ok = false;
    std::string refusal;   // the message when refused
    int months = 0;        // 24, 36, 48 or 60
    double fraction = 0;   // p: the residual as a fraction of MSRP
    double value = 0;      // RoundNum(MSRP x p, 2)
    int32_t allowedMiles = 0;  // 12000 or 15000
    std::string question;  // the OK / Cancel confirmation text
  };
  UseChoice PrepareUse(int sel, int resIndex, double msrp, int currentPage) const;

  // After OK on the question: writes Residual, AllowedMiles and Months onto the page,
  // recomputes the mileage fees and the page. Returns the text of the main window's
  // allowed-miles field ("#,###;; ").
  static std::string ApplyUse(Engine& eng, const UseChoice& choice);

  // The whole "&Use Residual" road with the prompt seam: the refusal message or the
  // question (OK / Cancel); on OK ApplyUse. Returns true when the page was changed (the
  // window then unloads and puts `allowedMilesText` into the main window's field).
  bool UseResidual(Engine& eng, int sel, int resIndex, std::string* allowedMilesText = nullptr) const;

 private:
  static constexpr int kNoLocks = -2;
  bool IsGroupLine(int i) const;
  // A line `UpdateRes` shows as "Residual Value in % of MSRP": it has residual data and is
  // no add or deduct adjustment (whose fields are percentage points).
  bool ShowsResidual(int i) const;
  int GroupIndex(int sel) const;  // -1 when none
  // The locked points that apply to line `sel` for one term: those of its group, else 0.
  double LockFor(int sel, int term) const;
  void ClearLocks();

  std::string appFolder_;
  std::string modelYear_;
  ResidualIndex index_;
  std::vector<RunLine> lines_;
  std::vector<bool> locked_;
  int lockedHeader_ = kNoLocks;
  std::array<double, 4> lockedAdjust_{};
  bool miles12000_ = false;
};

}  // namespace qv::pricing
