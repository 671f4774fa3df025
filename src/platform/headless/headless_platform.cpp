#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/headless/audio_recorder.h"
#include "platform/headless/input_script.h"
#include "platform/menu_bar.h"
#include "platform/pictures.h"
#include "platform/signals.h"
#include "platform/system_facts.h"
#include "platform/viewport.h"

namespace kovan {

namespace {

const char* AnswerName(MsgBoxAnswer a) {
  return a == MsgBoxAnswer::kOk ? "ok" : a == MsgBoxAnswer::kYes ? "yes" : "no";
}

// A scripted answer that doesn't fit the box counts as its first button.
MsgBoxAnswer FitAnswer(MsgBoxAnswer a, MsgBoxButtons buttons) {
  if (buttons == MsgBoxButtons::kOk) return MsgBoxAnswer::kOk;
  return a == MsgBoxAnswer::kOk ? MsgBoxAnswer::kYes : a;
}

class HeadlessPlatform final : public Platform {
 public:
  HeadlessPlatform(const HeadlessOptions& options, std::vector<ScriptAction> actions)
      : options_(options), actions_(std::move(actions)) {
    if (!options.audioPath.empty()) {
      SetAudio(CreateAudioRecorder([this] { return Ticks(); }, options.audioPath,
                                   options.soundFont));
    }
  }

  std::uint32_t Ticks() override { return static_cast<std::uint32_t>(clock_); }
  void Sleep(std::uint32_t ms) override { clock_ += ms; }
  void DoEvents() override;

  void SetClientSize(int w, int h) override {
    clientWidth_ = w;
    clientHeight_ = h;
  }
  void CentreWindow() override {
    x_ = (options_.display.width - clientWidth_) / 2;
    y_ = (options_.display.height - WindowHeight()) / 2;
  }
  void ShowWindow(bool shown) override { shown_ = shown; }
  void SetCaption(const std::string& utf8) override { caption_ = utf8; }
  void SetWaitCursor(bool wait) override { waitCursor_ = wait; }
  void ToggleCaption() override { captionOn_ = !captionOn_; }
  Status SetFullScreen(bool full) override {
    if (full && !fullScreen_ && options_.refuseFullScreen) {
      return Status::Error("the desktop refused full screen");
    }
    fullScreen_ = full;
    return Status();
  }
  WindowPlacement Placement() override;

  MsgBoxAnswer MessageBox(const std::string& utf8Text, MsgBoxButtons buttons) override;

  DisplayInfo Display() override { return options_.display; }
  SystemFacts Facts() override { return ReadSystemFacts(); }
  void SetImeOpen(bool open) override { imeOpen_ = open; }
  void SetGameState(std::string_view state) override { state_ = state; }
  std::string OutputError() const override { return outputError_; }

 private:
  void RunDueActions();
  void Deliver(const ScriptAction& action);
  std::optional<MsgBoxAnswer> TakeScriptAnswer();
  void AdvanceTo(std::int64_t t);
  void TakeShot(const std::string& file);
  // The state the game reported, or "dialog NAME" while that form is open.
  bool StateHolds(const std::string& wanted) const {
    constexpr std::string_view kDialog = "dialog ";
    return state_ == wanted ||
           (wanted.starts_with(kDialog) && stage().FindForm(wanted.substr(kDialog.size())) != nullptr);
  }
  int WindowHeight() const { return clientHeight_ + (fullScreen_ ? 0 : kMenuBarHeight); }
  bool ScriptDone() const { return next_ >= actions_.size() && clock_ >= notBefore_; }
  void Close() {
    if (sink() != nullptr) sink()->OnClose();
  }

  HeadlessOptions options_;
  std::vector<ScriptAction> actions_;
  std::size_t next_ = 0;
  std::int64_t clock_ = 0;
  std::int64_t notBefore_ = 0;  // the next action runs no earlier
  std::string state_;
  bool scriptCloseSent_ = false;
  bool limitCloseSent_ = false;

  int clientWidth_ = Stage::kWidth;
  int clientHeight_ = Stage::kHeight;
  bool shown_ = false;
  bool waitCursor_ = false;
  bool captionOn_ = true;
  bool fullScreen_ = false;
  int x_ = 0, y_ = 0;
  bool imeOpen_ = false;
  std::string caption_;
  std::string outputError_;
};

void HeadlessPlatform::DoEvents() {
  if (CloseSignalPending()) {
    ClearCloseSignal();
    Close();
  }
  RunDueActions();
  FireTimers();
  if (options_.maxMs >= 0 && clock_ >= options_.maxMs && !limitCloseSent_) {
    limitCloseSent_ = true;
    if (sink() != nullptr) sink()->OnTimeLimit();
  }
  if (!scriptCloseSent_ && ScriptDone() && !state_.empty()) {
    scriptCloseSent_ = true;
    Close();
  }
}

// Runs due actions until one waits, or until one input has gone to the game.
// The position moves on before an input is delivered: a handler may unwind,
// or open a message box that reads the script further.
void HeadlessPlatform::RunDueActions() {
  while (next_ < actions_.size() && clock_ >= notBefore_) {
    const ScriptAction action = actions_[next_];
    switch (action.kind) {
      case ActionKind::kWait:
        ++next_;
        notBefore_ = clock_ + action.ms;
        break;
      case ActionKind::kUntil:
        if (!StateHolds(action.text)) return;
        ++next_;
        break;
      case ActionKind::kAnswer:
        return;  // kept for the next message box
      case ActionKind::kShot:
        ++next_;
        TakeShot(action.text);
        break;
      case ActionKind::kMenu:
        ++next_;
        DeactivateModeless();  // the menu bar is clicked
        if (LiveMenuItem(Menu(), action.text) == nullptr || FormOpen()) {
          // A click on nothing a player could click (a dialog disables the
          // menu bar): dropped, and said so.
          trace().Event(clock_, "menu", {{"item", action.text}, {"op", "ignored"}});
          break;
        }
        state_.clear();
        Deliver(action);
        return;
      default:
        ++next_;
        state_.clear();
        Deliver(action);
        return;
    }
  }
}

void HeadlessPlatform::Deliver(const ScriptAction& a) {
  if (a.kind == ActionKind::kQuit) scriptCloseSent_ = true;
  // An open dialog takes the pointer and the keys; a click is a press and
  // a release at the same point.
  if (a.kind == ActionKind::kClick && FormMouseDown(a.x, a.y)) {
    FormMouseUp(a.x, a.y);
    return;
  }
  if ((a.kind == ActionKind::kRClick && FormMouseDown(a.x, a.y, MouseButton::kRight)) ||
      (a.kind == ActionKind::kMove && FormMouseMove(a.x, a.y)) ||
      (a.kind == ActionKind::kKey && FormKeyDown(a.key))) {
    return;
  }
  if (a.kind == ActionKind::kDialog) {
    DialogAction(a.verb, a.form, a.control, a.text);
    return;
  }
  InputSink* s = sink();
  if (s == nullptr) return;
  switch (a.kind) {
    case ActionKind::kClick:
      s->OnMouseDown(MouseButton::kLeft, a.x, a.y);
      break;
    case ActionKind::kRClick:
      s->OnMouseDown(MouseButton::kRight, a.x, a.y);
      break;
    case ActionKind::kMove:
      s->OnMouseMove(a.x, a.y);
      break;
    case ActionKind::kKey:
      s->OnKeyDown(a.key);
      break;
    case ActionKind::kMenu:
      s->OnMenu(a.text);
      break;
    case ActionKind::kQuit:
      s->OnClose();
      break;
    default:
      break;
  }
}

WindowPlacement HeadlessPlatform::Placement() {
  WindowPlacement p;
  p.fullScreen = fullScreen_;
  p.caption = captionOn_ && !fullScreen_;
  p.menuStrip = !fullScreen_;
  if (fullScreen_) {
    p.width = options_.display.width;
    p.height = options_.display.height;
  } else {
    p.x = x_;
    p.y = y_;
    p.width = clientWidth_;
    p.height = WindowHeight();
  }
  const Viewport view(p.width, p.height, p.width, p.height, p.menuStrip ? kMenuBarHeight : 0);
  p.pictureWidth = view.Picture().w;
  p.pictureHeight = view.Picture().h;
  return p;
}

MsgBoxAnswer HeadlessPlatform::MessageBox(const std::string& utf8Text, MsgBoxButtons buttons) {
  const std::int64_t opened = clock_;
  const std::string before = state_;
  state_ = "msgbox";
  const std::optional<MsgBoxAnswer> scripted = TakeScriptAnswer();
  MsgBoxAnswer answer = buttons == MsgBoxButtons::kOk ? MsgBoxAnswer::kOk : MsgBoxAnswer::kNo;
  if (scripted) answer = FitAnswer(*scripted, buttons);
  state_ = scripted ? std::string() : before;
  trace().Event(opened, "msgbox",
                {{"text", utf8Text},
                 {"buttons", buttons == MsgBoxButtons::kOk ? "ok" : "yesno"},
                 {"answer", AnswerName(answer)}});
  return answer;
}

// Reads the script while the box is open: waits pass on the clock, shots are
// taken, `until msgbox` holds; an `answer` closes the box. Anything else
// stays for later and the box takes its default.
std::optional<MsgBoxAnswer> HeadlessPlatform::TakeScriptAnswer() {
  while (next_ < actions_.size()) {
    const ScriptAction action = actions_[next_];
    switch (action.kind) {
      case ActionKind::kWait:
        ++next_;
        notBefore_ = std::max(clock_, notBefore_) + action.ms;
        break;
      case ActionKind::kUntil:
        if (state_ != action.text) return std::nullopt;
        ++next_;
        break;
      case ActionKind::kShot:
        ++next_;
        AdvanceTo(notBefore_);
        TakeShot(action.text);
        break;
      case ActionKind::kAnswer:
        ++next_;
        AdvanceTo(notBefore_);
        return action.answer;
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

// Time passing while a box is open: timers keep running, as they do with a
// real box on screen.
void HeadlessPlatform::AdvanceTo(std::int64_t t) {
  if (t <= clock_) return;
  clock_ = t;
  FireTimers();
}

void HeadlessPlatform::TakeShot(const std::string& file) {
  std::filesystem::path path(file);
  if (path.is_relative() && !options_.shotsDir.empty()) path = options_.shotsDir / path;
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  Surface picture;
  stage().Compose(picture);
  if (Status saved = SavePng(picture, path.string()); !saved && outputError_.empty()) {
    outputError_ = "shot not written: " + saved.error();
  }
}

}  // namespace

Result<std::unique_ptr<Platform>> CreateHeadlessPlatform(const HeadlessOptions& options) {
  Result<std::vector<ScriptAction>> actions = ParseInputScript(options.inputScript);
  if (!actions) return Result<std::unique_ptr<Platform>>::Error(actions.error());
  return std::unique_ptr<Platform>(
      std::make_unique<HeadlessPlatform>(options, std::move(actions.value())));
}

}  // namespace kovan
