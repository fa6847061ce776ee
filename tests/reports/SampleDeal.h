#pragma once
// The report tests' names for the report sample deal (sample/ReportSampleDeal.h).
#include "sample/ReportSampleDeal.h"
#include "tests/engine/CommonPage.h"

namespace qv::reports::test {

using sample::DataFolder;
using sample::kSampleCustomer;
using sample::kSampleStdEquipment;
using sample::SampleDeal;

}  // namespace qv::reports::test
