#pragma once

namespace q208 {

class CtlCommandTable;

// q208ctl music on|off: the keyboards of the running q208 follow the music (effect 29's
// music pattern; q208 starts its recorder) or go back to their lighting.
class MusicCommand {
public:
    static void AddTo(CtlCommandTable& table);
};

}  // namespace q208
