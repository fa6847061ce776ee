#pragma once
// The dealer-network window "Dealer Network Quotes": explains the free quote service, where
// dealers of the user's area bid for a vehicle, and opens its request page in the desktop's
// web browser. Shown modally from the main window; "Request &Quote..." opens the page (the
// window stays open), "&Cancel" closes it.
#include <QWidget>

#include <array>
#include <string>

#include "platform/ui/Window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace qv {

// The small animated picture of the window: quotes travelling from dealers to a customer.
class DealerNetworkPicture : public QWidget {
 public:
  explicit DealerNetworkPicture(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {150, 90}; }
  int Frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  QTimer* timer_ = nullptr;
  int frame_ = 0;
};

class frmDealerNetwork : public ui::QvDialog {
  Q_OBJECT

 public:
  explicit frmDealerNetwork(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;        // "Dealer Network Quotes"
  QLabel* Label3 = nullptr;        // the advantages heading
  QPlainTextEdit* Text1 = nullptr;  // the three advantages
  QLabel* Label2 = nullptr;        // how the service works
  DealerNetworkPicture* Picture1 = nullptr;
  std::array<QPushButton*, 2> Command1{};  // 0 "Request &Quote...", 1 "&Cancel"

  void Command1_Click(int Index);

  // The quote service's request page.
  static constexpr const char* kQuoteAddress = "https://quotes.example.com/auto/quotes/q1.cfm?src=474";
};

}  // namespace qv
