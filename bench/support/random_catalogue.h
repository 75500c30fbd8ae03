// The catalogue the file benchmarks load and save: count items with random
// names of 10 to 30 letters and zero to four property lines of 8 to 28, and
// 1,000 characters holding 100 numbers each. The same catalogue at every call.
#pragma once

#include "model/catalogue.h"

namespace kistora::bench {

void MakeRandomCatalogue(TCatalogue& catalogue, int itemCount, int charCount = 1000, int numbersPerChar = 100);

}  // namespace kistora::bench
