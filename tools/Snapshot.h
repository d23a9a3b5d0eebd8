// snapshot: a draft in.xml from a log. Each distinct call of the log gets one
// answer with neutral values for a tester to edit (a card's information by card
// code and input kind, a transaction by card, account, kind and amount, a card
// image by card code, a card by e-mail), after a comment that quotes the log
// line it comes from, in the order the log first shows them. Used as in.xml, the
// draft answers every call of the log: each card and e-mail is found, each image
// named, each transaction matched with result 0. Card 0's image needs no answer.
//
// The dump files add nothing: answers are chosen by what the log lines hold (the
// input kind among them), never by the input bytes.
#pragma once

#include <string>
#include <vector>

#include "tools/LogReader.h"

namespace TolvexHost {

// The draft's XML text as a file holds it (declared windows-1251 like the scenarios
// the exports read, lines ending in CR LF); logName names the log in the comments.
// Needs the XML unit initialised.
std::string DraftScenario(const std::vector<LogEntry>& entries, const std::string& logName);

struct SnapshotDraft {
    std::string xml;
    std::vector<LogError> errors;  // the log's lines that could not be read, and so have no answer
};

// The draft for the log in the file; std::runtime_error when it cannot be read.
SnapshotDraft SnapshotScenario(const std::string& logFile);

}  // namespace TolvexHost
