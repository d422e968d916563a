#pragma once

#include <cstdint>

namespace sonivera::db {
class Connection;
}

namespace sonivera::vision {

// Adds reproducible vision screenings to a demonstration register: every
// `every`-th patient gets one or two tests, entered step by step through the
// test model as an operator would, with the particulars of the patient's
// latest audiogram. One transaction. Returns the number of tests added.
int SeedDemoVisionTests(db::Connection& connection, std::uint32_t seed, int every = 2);

}  // namespace sonivera::vision
