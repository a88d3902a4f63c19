#pragma once

namespace kl::test {

// A local port nobody listens on: bound to find a free one, then let go.
int closedPort();

}  // namespace kl::test
