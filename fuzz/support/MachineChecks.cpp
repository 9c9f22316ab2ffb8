#include "support/MachineChecks.h"

#include "platform/sim/SimSystem.h"
#include "support/Require.h"

#include <string>

void RequireMachineClean() {
    const sim::System& m = sim::machine();
    const sim::Resources open = m.openResources();
    if (!(open == sim::Resources{})) {
        FailInvariant("resources left open: files " + std::to_string(open.files) +
                      ", device lists " + std::to_string(open.deviceLists) + ", keys " +
                      std::to_string(open.registryKeys) + ", global blocks " +
                      std::to_string(open.globalBlocks) + ", global locks " +
                      std::to_string(open.globalLocks));
    }
    if (m.badReleases != 0) {
        FailInvariant("bad releases: " + std::to_string(m.badReleases));
    }
}
