#pragma once

namespace tz {

// The tables every screen shares, built once at start-up: the keyboard and colour tables, the
// exercise engine's starting values and the empty text table of the course.
void InitialiseSharedTables();

}  // namespace tz
