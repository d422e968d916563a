// vision-steps: the vision test's entry rules on events given as JSON lines.
#include <QJsonDocument>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "vision/VisionScript.h"

namespace sonivera::cli {

namespace {

const Command kVisionSteps{
    "vision-steps", "< RUNS.jsonl",
    "Runs the operator's actions on the vision test steps, one run per JSON line on\n"
    "standard input, and writes one JSON line per input line. Input:\n"
    "  {\"events\": [...], \"stored\": {...}}\n"
    "without \"stored\" a new test is begun; with it (result columns such as\n"
    "\"FarBoth\": 5 or \"PR85\": true, the others 0/false) a stored test is edited.\n"
    "Events: next, prev, pass, fail, pass2, fail2, clearAcuity, clearDepth,\n"
    "binoc:Four|Two|Three, colour:1-9, vertical:1-13, lateral:1-29, distance:1-5,\n"
    "periph:R85|R70|R55|RN45|L85|L70|L55|LN45.\n"
    "Output: step, eyeFrame, missCount, depthRun, depthTarget, depthMiss, totals and\n"
    "results (every result column) with the step on screen stored as a save does.\n"
    "A line that cannot be run gives {\"error\": \"...\"} and the next goes on.",
    [](const CommandContext& context) {
      if (!context.args.isEmpty()) {
        return Usage(CommandNamed("vision-steps"), "takes no arguments");
      }
      std::string line;
      while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const QByteArray out = QJsonDocument(vision::RunStepsLine(QByteArray::fromStdString(line)))
                                   .toJson(QJsonDocument::Compact) +
                               '\n';
        std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
      }
      std::fflush(stdout);
      return 0;
    }};

const CommandRegistration kRegisterVisionSteps(kVisionSteps);

}  // namespace

}  // namespace sonivera::cli
