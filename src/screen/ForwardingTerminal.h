// A terminal that passes every operation on: the session control (modes, colours, keypad, cursor)
// and key reads to the real terminal, the drawing to a draw target that is the real terminal
// unless a subclass points it elsewhere. Recording and playback build on it.
#pragma once

#include "screen/Terminal.h"

class ForwardingTerminal : public Terminal {
 public:
  explicit ForwardingTerminal(Terminal& real) : real_(real), draw_(&real) {}

  void initialise() override { real_.initialise(); }
  void setCbreak(bool on) override { real_.setCbreak(on); }
  void setEcho(bool on) override { real_.setEcho(on); }
  void startColour() override { real_.startColour(); }
  void finish() override { real_.finish(); }
  bool hasColours() const override { return real_.hasColours(); }
  bool initPair(int pair, int foreground, int background) override {
    return real_.initPair(pair, foreground, background);
  }
  bool setKeypad(bool on) override { return real_.setKeypad(on); }
  bool setCursorVisibility(int visibility) override { return real_.setCursorVisibility(visibility); }

  void attributesOn(int attrs) override { draw_->attributesOn(attrs); }
  void attributesOff(int attrs) override { draw_->attributesOff(attrs); }
  bool moveTo(int x, int y) override { return draw_->moveTo(x, y); }
  void addText(std::string_view text) override { draw_->addText(text); }
  void putChar(int x, int y, char ch, int attrs) override { draw_->putChar(x, y, ch, attrs); }
  void clear() override { draw_->clear(); }
  void refresh() override { draw_->refresh(); }
  void showNow() override { draw_->showNow(); }
  void followResize() override { real_.followResize(); }
  // The guide belongs to the real screen: a silent part drawn elsewhere has no room for it.
  void showGuide(const Guide& guide) override { real_.showGuide(guide); }
  int readKey() override { return real_.readKey(); }
  void discardTypedKeys() override { real_.discardTypedKeys(); }

 protected:
  Terminal& real_;
  Terminal* draw_;
};
