#pragma once

#include <QString>
#include <optional>

#include "register/AudiogramStore.h"

namespace sonivera {
class Application;
}

namespace sonivera::cli {

// print vision: the vision record form of the patient's test (the latest
// when key is empty) to a PDF file. Returns the exit code.
int PrintVision(Application& app, const QString& pat_no, const std::optional<TestKey>& key,
                const QString& pdf);

}  // namespace sonivera::cli
