#include "scene/scene.h"

namespace kovan {

Scene::Scene(Platform& platform, EngineState& state, MainForm& form, Messages& messages)
    : platform_(platform), state_(state), form_(form), messages_(messages) {}

}  // namespace kovan
