#pragma once

// The demo company's chart of accounts, built on the level structure of
// kDigitosNivel (1, 1, 2, 2 and 3 digits): headings on the first four
// levels, postable accounts on the fifth.

#include "chart.h"

#include <vector>

namespace kl::klbase {

const std::vector<Account>& demoChart();

}  // namespace kl::klbase
