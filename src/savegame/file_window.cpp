#include "savegame/file_window.h"

#include <utility>

#include "platform/files.h"
#include "platform/save_places.h"
#include "savegame/save_record.h"
#include "savegame/window_art.h"

namespace kovan {

namespace {

constexpr const char* kFormName = "File_Window";
constexpr const char* kEmptyText = "データなし";
constexpr int kClientW = 383;
constexpr int kClientH = 151;
constexpr int kRowW = 181, kRowH = 34, kRowGap = 2;
constexpr int kColumnX[2] = {6, 196};
constexpr int kRowsPerColumn = 3;
constexpr int kIconSide = 32;
constexpr int kButtonW = 88, kButtonH = 27, kButtonY = 118;
// Left to right: save, load, delete, close (index 3 to 0).
constexpr int kButtonX[4] = {285, 192, 99, 6};
constexpr const char* kButtonCaptions[4] = {"閉じる", "消去", "ロード", "セーブ"};
constexpr std::uint32_t kLoopMs = 100;
constexpr std::uint32_t kAskMs = 30;
constexpr std::uint32_t kResultMs = 1000;
constexpr int kTile = 64, kTileX = 96, kTileColumns = 6, kTileRows = 3;
constexpr int kEffectClick = 100, kEffectSlot = 102;

constexpr Rgb kRowColour = MakeRgb(224, 224, 224);
constexpr Rgb kSelectedColour = MakeRgb(255, 128, 128);
constexpr Rgb kSavedText = MakeRgb(0, 0, 128);
constexpr Rgb kEmptyTextColour = MakeRgb(128, 128, 128);
constexpr Rgb kSavedPanel = MakeRgb(255, 192, 192);
constexpr Rgb kLoadedPanel = MakeRgb(192, 255, 192);
constexpr Rgb kDeletedPanel = MakeRgb(255, 255, 192);

std::string Indexed(const char* name, int i) { return std::string(name) + "(" + std::to_string(i) + ")"; }

ControlRect RowRect(int slot) {
  const int column = slot / kRowsPerColumn, row = slot % kRowsPerColumn;
  return ControlRect{kColumnX[column], 6 + row * (kRowH + kRowGap), kRowW, kRowH};
}

}  // namespace

std::string SlotPath(const std::string& saveFolder, int slot) {
  return saveFolder + "0" + std::to_string(slot) + ".dat";
}

FileWindow::FileWindow(Platform& platform, EngineState& state, const Surface& texture,
                       Sound& sound, Font* font, std::string saveFolder, std::string folderError)
    : platform_(platform),
      state_(state),
      sound_(sound),
      folder_(std::move(saveFolder)),
      folderError_(std::move(folderError)),
      form_(kFormName, "ゲームデータ", kClientW, kClientH) {
  form_.SetFont(font);
  form_.Centre(Stage::kWidth, Stage::kHeight);
  Build();
  TileBackground(texture);
}

FileWindow::~FileWindow() { platform_.CloseForm(&form_); }

void FileWindow::Build() {
  for (int n = 0; n < kSlotCount; ++n) {
    const ControlRect r = RowRect(n);
    Picture1[n] = &form_.Add(std::make_unique<PictureBox>(Indexed("Picture1", n), r));
    Picture1[n]->tabStop = true;
    Picture1[n]->onClick = [this, n] { Label1_Click(n); };
    Label1[n] = &form_.Add(std::make_unique<Label>(
        Indexed("Label1", n), ControlRect{r.x + kIconSide + 4, r.y + 4, r.w - kIconSide - 6, r.h - 6}));
    Label1[n]->transparent = true;
    Label1[n]->onClick = [this, n] { Label1_Click(n); };
  }
  for (int i = 0; i < 2; ++i) {
    fIcon[i] = &form_.Add(std::make_unique<PictureBox>(Indexed("fIcon", i),
                                                      ControlRect{0, 0, kIconSide, kIconSide}));
    fIcon[i]->visible = false;
    fIcon[i]->backColor = kRowColour;
    fIcon[i]->image = SlotIcon(kRowColour, i == 1);
  }
  for (int i = 3; i >= 0; --i) {
    fBtn[i] = &form_.Add(std::make_unique<CommandButton>(
        Indexed("fBtn", i), ControlRect{kButtonX[i], kButtonY, kButtonW, kButtonH}, kButtonCaptions[i]));
    fBtn[i]->picture = ButtonPicture(i);
    fBtn[i]->onClick = [this, i] { fBtn_Click(i); };
  }

  Picture3 = &form_.Add(std::make_unique<Panel>("Picture3", ControlRect{91, 55, 200, 40}));
  Label2 = &Picture3->Add(std::make_unique<Label>("Label2", ControlRect{4, 12, 192, 16}));
  Label2->align = Label::Align::kCentre;
  Label2->transparent = true;
  Picture3->visible = false;

  Picture4 = &form_.Add(std::make_unique<Panel>("Picture4", ControlRect{81, 37, 220, 76}));
  Label4 = &Picture4->Add(std::make_unique<Label>("Label4", ControlRect{10, 12, 200, 16}));
  Label4->align = Label::Align::kCentre;
  Label4->transparent = true;
  auto& yes = Picture4->Add(std::make_unique<CommandButton>("Command1", ControlRect{28, 40, 76, 24}, "はい"));
  yes.onClick = [this] { Command1_Click(); };
  auto& no = Picture4->Add(std::make_unique<CommandButton>("Command2", ControlRect{116, 40, 76, 24}, "いいえ"));
  no.onClick = [this] { Command2_Click(); };
  Picture4->visible = false;

  // Escape answers No to a question, else closes the window.
  form_.onCancel = [this] {
    if (asking_) {
      Command2_Click();
    } else {
      fBtn_Click(0);
    }
  };
}

// The 64 x 64 square at (96, 0) of the skin, six columns by three rows.
void FileWindow::TileBackground(const Surface& texture) {
  for (int i = 0; i < kTileColumns; ++i) {
    for (int j = 0; j < kTileRows; ++j) {
      BitBlt(form_.background, kTile * i, kTile * j, kTile, kTile, texture, kTileX, 0,
             RasterOp::kSrcCopy);
    }
  }
}

int FileWindow::Run(int mode) {
  FileMode_ = mode;
  Answer = 0;
  SelSlot = -1;
  fBtn[2]->enabled = mode != kFileSave;
  fBtn[1]->enabled = mode != kFileLoad;
  fBtn[3]->enabled = mode != kFileLoad;
  Picture3->visible = false;
  state_.Data_stack[0] = WithTrack(state_.Data_stack[0], state_.BgmNo);
  ListSlots();
  form_.SetFocus(Picture1[0]);  // the keyboard starts on the first slot
  platform_.OpenForm(&form_);
  open_ = true;
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "open"},
                           {"mode", mode == kFileSave ? "save" : "load"}});
  while (FileMode_ != kFileClosed && FileMode_ != kFileLoaded) {
    platform_.SetGameState("dialog File_Window");
    platform_.DoEvents();
    platform_.Sleep(kLoopMs);
  }
  platform_.CloseForm(&form_);
  open_ = false;
  platform_.trace().Event(platform_.Ticks(), "dialog", {{"name", kFormName}, {"op", "close"}});
  return FileMode_;
}

void FileWindow::ListSlots() {
  for (int n = 0; n < kSlotCount; ++n) {
    DrawRow(n, kRowColour, false);
    const std::string path = folder_.empty() ? std::string() : SlotPath(folder_, n);
    Result<std::vector<std::uint8_t>> bytes =
        FileExists(path) ? ReadFileBytes(path) : Result<std::vector<std::uint8_t>>::Error("");
    Result<SaveFile> file = bytes ? DecodeSaveFile(bytes.value()) : Result<SaveFile>::Error("");
    empty_[n] = !FileExists(path);
    if (file) {
      Label1[n]->foreColor = kSavedText;
      Label1[n]->caption = file->title + "\r\n" + SlotTime(file->time);
    } else if (!empty_[n]) {
      // A slot whose file can't be read still holds something: it can be
      // overwritten or deleted, and loading it says what is wrong.
      Label1[n]->foreColor = kSavedText;
      Label1[n]->caption = "（読み込めないデータ）";
    } else {
      Label1[n]->foreColor = kEmptyTextColour;
      Label1[n]->caption = kEmptyText;
    }
  }
  form_.Refresh();
}

void FileWindow::DrawRow(int slot, Rgb colour, bool selected) {
  PictureBox& row = *Picture1[slot];
  row.backColor = colour;
  row.image.SetBackColor(colour);
  // The icon's own background takes the row's colour while it is drawn.
  PictureBox& icon = *fIcon[selected ? 1 : 0];
  icon.backColor = colour;
  icon.image = SlotIcon(colour, selected);
  BitBlt(row.image, 0, 0, kIconSide, kIconSide, icon.image, 0, 0, RasterOp::kSrcCopy);
  icon.backColor = kRowColour;
  icon.image = SlotIcon(kRowColour, selected);
  form_.Refresh();
}

void FileWindow::Effect(int no) {
  if (state_.SeOn) sound_.EffectPlay(no);
}

void FileWindow::Label1_Click(int slot) {
  // While a question waits, nothing else starts.
  if (asking_ || slot < 0 || slot >= kSlotCount) return;
  Effect(kEffectSlot);
  SelSlot = slot;
  for (int n = 0; n < kSlotCount; ++n) DrawRow(n, kRowColour, false);
  DrawRow(slot, kSelectedColour, true);
}

void FileWindow::fBtn_Click(int index) {
  if (asking_) return;
  if (index == 0) {
    FileMode_ = kFileClosed;
    Effect(kEffectClick);
    return;
  }
  if (SelSlot < 0 || !fBtn[index]->enabled) return;
  Picture3->visible = false;
  Answer = 0;
  Effect(kEffectClick);
  if (index == 3) SaveSlot(SelSlot);
  if (index == 2) LoadSlot(SelSlot);
  if (index == 1) DeleteSlot(SelSlot);
}

void FileWindow::SaveSlot(int slot) {
  if (!empty_[slot] && !Ask("上書きしますか？")) return;
  if (folder_.empty()) return Fail(slot, "セーブ", folderError_);
  const SaveFile file{LocalMinuteStamp(), state_.SaveTitle, state_.Data_stack[0],
                      state_.Data_stack[1], state_.Data_stack[2]};
  if (Status written = WriteFileBytes(SlotPath(folder_, slot), EncodeSaveFile(file)); !written) {
    return Fail(slot, "セーブ", written.error());
  }
  platform_.trace().Event(platform_.Ticks(), "save", {{"slot", slot}});
  ShowResult("セーブしました", kSavedPanel);
  ListSlots();
  Picture3->visible = false;
  form_.Refresh();
}

void FileWindow::LoadSlot(int slot) {
  if (empty_[slot]) {
    SelSlot = -1;
    return;
  }
  Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(SlotPath(folder_, slot));
  if (!bytes) return Fail(slot, "ロード", bytes.error());
  Result<SaveFile> file = DecodeSaveFile(bytes.value());
  if (!file) return Fail(slot, "ロード", file.error());
  state_.Data_stack[0] = file->state;
  state_.Data_stack[1] = file->familyName;
  state_.Data_stack[2] = file->givenName;
  platform_.trace().Event(platform_.Ticks(), "load", {{"slot", slot}});
  ShowResult("ロードしました", kLoadedPanel);
  FileMode_ = kFileLoaded;
}

void FileWindow::DeleteSlot(int slot) {
  if (empty_[slot]) {
    SelSlot = -1;
    return;
  }
  if (!Ask("消去しますか？")) return;
  if (Status removed = RemoveFile(SlotPath(folder_, slot)); !removed) {
    return Fail(slot, "消去", removed.error());
  }
  platform_.trace().Event(platform_.Ticks(), "delete", {{"slot", slot}});
  ShowResult("消去しました", kDeletedPanel);
  ListSlots();
  Picture3->visible = false;
  form_.Refresh();
}

bool FileWindow::Ask(const std::string& question) {
  Label4->caption = question;
  Picture4->visible = true;
  asking_ = true;
  Answer = 0;
  form_.SetFocus(form_.Find("Command1"));
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "ask"}, {"text", question}});
  while (Answer == 0) {
    platform_.SetGameState("dialog File_Window");
    platform_.DoEvents();
    platform_.Sleep(kAskMs);
  }
  asking_ = false;
  Picture4->visible = false;
  form_.SetFocus(Picture1[SelSlot >= 0 ? SelSlot : 0]);
  return Answer == 1;
}

void FileWindow::ShowResult(const std::string& text, Rgb colour) {
  Picture3->backColor = colour;
  Label2->caption = text;
  Picture3->visible = true;
  form_.Refresh();
  platform_.trace().Event(platform_.Ticks(), "dialog",
                          {{"name", kFormName}, {"op", "result"}, {"text", text}});
  platform_.Present();
  platform_.Sleep(kResultMs);
}

void FileWindow::Fail(int slot, const std::string& what, const std::string& why) {
  platform_.MessageBox("スロット" + std::to_string(slot + 1) + "（0" + std::to_string(slot) +
                           ".dat）の" + what + "ができませんでした。\n" + why,
                       MsgBoxButtons::kOk);
  ListSlots();
}

}  // namespace kovan
