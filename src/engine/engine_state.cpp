#include "engine/engine_state.h"

namespace kovan {

void SetStartValues(EngineState& s) {
  s.MsgMode = 3;
  s.LineNo = 0;
  s.SeqPos = 0;
  s.BgmOn = true;
  s.SeOn = true;
  s.MeshOn = false;
  s.LastHover = kNoHover;
  s.WakuDensity = 0.6f;
  s.Data_stack[0] = std::string(45, ' ');
  s.PlaceLast = -1;
  s.DateText.clear();
  s.ClickMode = true;
}

}  // namespace kovan
