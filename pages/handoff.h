// What the pages hand each other.  The values stay where the user sees
// them (a label's text is the value it holds) or in the page that owns
// them; this is the one place where a page reaches into another page.
#pragma once

#include <cstdint>
#include <string>

#include "discovery/search.h"

namespace pages::handoff {

// The detection page's current server: its address and its printer, as
// the page's labels show them.
std::string serverAddress();
std::string serverPrinter();
// Puts a server on the detection page (labels, subnet colour, "Next >"),
// or none: the not-found panel, the labels emptied too when `forget`.
void showServer(const discovery::Server& server);
void showNoServer(bool forget);
// The detection page's search: stopped with its tick count back to 0,
// resumed, or only its timer held.
void stopSearch();
void resumeSearch();
void holdSearchTimer();

// The printer the automatic printer page proposes (what the completion
// page prints to and makes the default).
std::string chosenPrinter();
void setChosenPrinter(const std::string& name);
// 1: the automatic printer page opens its manual list at once.
void setPickByHand(std::int32_t value);

// 1: the manual address dialog was cancelled (the browse list reads it).
void setManualCancelled(std::int32_t value);

}  // namespace pages::handoff
