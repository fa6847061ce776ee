#pragma once
// Helpers of the engine tests around the sample deal (sample/SampleDeal.h): the sample deal's
// functions under their test names, a calculation on the items in memory and a counting
// result display.
#include "engine/Engine.h"
#include "sample/SampleDeal.h"

namespace qv::test {

using sample::SetCommonDealFields;
using sample::SetHomeTaxSetting;
using sample::SetUpCommonPage;

// Runs CalcLease on the items in memory (as the field editors do), with the comparison.
inline void CalcLeaseInMemory(Engine& e) {
  e.SkipItemReload = -1;
  e.CalcLease();
  e.SkipItemReload = 0;
}

using sample::CountingHost;

}  // namespace qv::test
