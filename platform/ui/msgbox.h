// The message box, as the programs call it: a text, the button set, icon and
// default button added together as one number, and a title; the result is the
// pressed button's number. One facade for every box of every program, so tests
// answer boxes by script and record what was shown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "vb/msgbox_values.h"

namespace ui {

// The style and answer numbers (vbOKOnly, vbCritical, vbYes ...).
using enum vb::MsgBoxStyle;
using enum vb::MsgBoxResult;

// Shows the box and waits for the answer. The title defaults to the program's
// title. With a script in force the box is answered from it; without a usable
// display the box goes to standard error and takes its default button.
int MsgBox(std::string_view text, int flags = vbOKOnly, std::string_view title = {});

// The program's title, the default title of a box.
void SetAppTitle(std::string title);
const std::string& AppTitle();

// What a box offers, from its style number.
std::vector<int> BotonesDe(int flags);  // results of its buttons, in order
int BotonPorDefecto(int flags);         // result of the default button
// Result that Esc or the close box gives; 0 when both are refused.
int BotonEscape(int flags);

struct ShownBox {
    std::string text;
    std::string title;
    int flags = 0;
    int answer = 0;
};

// Answers boxes by script while it is alive: each box takes the next queued
// answer, or its default button when the queue is empty, and is recorded.
// Only one script is in force at a time; the newest one wins.
class ScriptedAnswers {
  public:
    explicit ScriptedAnswers(std::vector<int> answers = {}, bool echo = false);
    ~ScriptedAnswers();
    ScriptedAnswers(const ScriptedAnswers&) = delete;
    ScriptedAnswers& operator=(const ScriptedAnswers&) = delete;

    void Push(int answer);
    std::size_t Pending() const { return answers_.size() - next_; }
    const std::vector<ShownBox>& Shown() const { return shown_; }
    void Clear() { shown_.clear(); }

    // Used by MsgBox.
    int Answer(std::string_view text, int flags, std::string_view title);

  private:
    std::vector<int> answers_;
    std::size_t next_ = 0;
    std::vector<ShownBox> shown_;
    bool echo_ = false;
    ScriptedAnswers* previous_ = nullptr;
};

// The script in force, or null.
ScriptedAnswers* ScriptInForce();

}  // namespace ui
