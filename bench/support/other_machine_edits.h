// What another machine (or this one) changes in a catalogue of itemCount
// items between two syncs, for the merge and take-in benchmarks: 400 items
// renamed, 300 added (numbers from the last one on, as both sides hand them
// out) and 300 deleted, picked by random (which the caller may go on
// drawing from); side names the texts it writes.
#pragma once

#include <chrono>
#include <random>
#include <string>

#include "model/catalogue.h"

namespace kistora::bench {

void EditAsOneMachine(TCatalogue& catalogue, const std::string& side, std::mt19937& random, int itemCount);

inline double SecondsSince(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

}  // namespace kistora::bench
