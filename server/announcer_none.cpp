#include "announcer.h"

namespace dravo {

// A build without a discovery library announces nothing.
std::unique_ptr<Announcer> make_announcer(Announcer::Log) { return nullptr; }

}  // namespace dravo
