// `frmAbout`, "ﾊﾞｰｼﾞｮﾝ情報": the product, its version, what it needs, a note
// to the player and two links. It doesn't hold the game up: play goes on
// behind it, and it closes with OK or as soon as the player turns to
// anything else.
#pragma once

#include <string>

#include "platform/form.h"
#include "platform/platform.h"

namespace kovan {

// The links the version box offers.
inline constexpr const char* kAboutMailLink = "mailto:kovan@kovan.example";
inline constexpr const char* kAboutWebLink = "https://kovan.example/";

class AboutBox {
 public:
  explicit AboutBox(Platform& platform);
  ~AboutBox();
  AboutBox(const AboutBox&) = delete;
  AboutBox& operator=(const AboutBox&) = delete;

  // Shows the box without disabling the main window. font draws its text,
  // titleFont the product's name (either may be null).
  void Form_Load(Font* font, Font* titleFont);
  bool IsOpen() const { return open_; }
  Form& form() { return form_; }

  void cmdOK_Click();
  // Losing the focus closes the box.
  void Form_LostFocus();
  // The links hand their own caption to the desktop (browser, mail).
  void Label3_Click();
  void Label4_Click();

 private:
  void Build();
  void Close(const char* how);
  void OpenLink(const Label& label);

  Platform& platform_;
  Form form_;
  Label* Label5 = nullptr;
  Label* Label3 = nullptr;
  Label* Label4 = nullptr;
  bool open_ = false;
};

}  // namespace kovan
