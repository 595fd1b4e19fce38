// Answers for message boxes that nobody clicks: the in-memory PC's, and a
// Windows test's that keeps the real calls but answers the boxes itself.
#pragma once

#include <deque>

#include "platform/prompter.h"

namespace platform {

struct AnswerQueue {
  // Answers for the coming Yes/No boxes.  A question with none queued is
  // answered No and sets unexpectedQuestion; OK boxes always answer Ok.
  std::deque<Answer> answers;
  bool unexpectedQuestion = false;

  // The answer to a box with these buttons, taken from the queue.
  Answer nextAnswer(Buttons buttons) {
    if (buttons != Buttons::YesNo) return Answer::Ok;
    if (answers.empty()) {
      unexpectedQuestion = true;
      return Answer::No;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace platform
