#pragma once

namespace sonivera {

// What the record editor is doing: the main window's edit states.
enum class EditMode { Browsing, Editing, AddingPatient, InsertingTest };

// The main window's pages, in tab order; record editor commands bring one to
// the front.
enum class MainPage { Register = 0, Details = 1, Audiograms = 2, Questionnaire = 3 };

}  // namespace sonivera
