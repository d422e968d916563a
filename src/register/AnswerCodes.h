#pragma once

namespace sonivera {

// The questions stored per test (Q1 ... Q50, Ans1 ... Ans50).
constexpr int kQuestionCount = 50;

// Answer codes as stored in Q1 ... Q50.
enum AnswerCode { kNoAnswer = 0, kAnswerYes = 1, kAnswerNo = -1, kAnswerText = 2 };

}  // namespace sonivera
