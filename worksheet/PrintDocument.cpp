// The report editor is not part of the program yet: there is no document to print.
#include "worksheet/PrintDocument.h"

namespace qv {

void PrintDocument() {}

}  // namespace qv
