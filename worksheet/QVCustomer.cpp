// The main window's way into the customer window: the "Cu&stomer:" button shows it
// modelessly. The window attaches a customer to the page and sets the customer labels
// through the owner (ShowCustomerLabels); a page load shows the page's own customer.
#include <QPushButton>

#include "reports/Customer.h"
#include "worksheet/QV.h"

namespace qv {

void QV::ConnectCustomer() {
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  MarkReady(Command3);
}

void QV::Command3_Click() { Customer::ShowModeless(windows_); }

}  // namespace qv
