// The main window's way into the customer window: the "Cu&stomer:" button shows it
// modelessly. The window attaches a customer to the page and sets the customer labels
// through the owner (ShowCustomerLabels); a page load shows the page's own customer. The
// start-up costs window and the end of the program close it first (CloseCustomerWindow).
#include <QPushButton>

#include "reports/Customer.h"
#include "worksheet/QV.h"

namespace qv {

void QV::ConnectCustomer() {
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  MarkReady(Command3);
}

void QV::Command3_Click() { Customer::ShowModeless(windows_); }

bool QV::CloseCustomerWindow() {
  Customer* c = windows_.IfLoaded<Customer>();
  if (!c) return true;
  if (!c->WriteBack()) return false;
  windows_.Unload<Customer>();
  return true;
}

}  // namespace qv
