#include "tools/Verify.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "tools/CallReport.h"

namespace TolvexHost {

namespace {

using Comparison = CountExpectation::Comparison;

std::string DumpFileName(std::int32_t unit) {
    std::string name = "In";
    return name.append(std::to_string(unit)).append(".txt");
}

// Shown in messages: the first few of a list, then how many there were.
constexpr std::size_t ListedAtMost = 5;

class Checker {
public:
    Checker(const LogReading& log, std::string logName, const DumpFileReader& readDump)
        : log_(log), events_(LogEvents(log)), logName_(std::move(logName)), readDump_(readDump) {}

    // What was got instead of the expectation; none when it holds.
    std::optional<std::string> Check(const RunExpectation& expectation) const {
        return std::visit([&](const auto& check) { return Mismatch(check); }, expectation.check);
    }

private:
    std::string Place(std::size_t line) const {
        std::string place = logName_;
        return place.append(":").append(std::to_string(line));
    }

    std::string Placed(const LogEvent& event) const {
        std::string text = Place(event.line);
        return text.append(" \"").append(event.text).append("\"");
    }

    // The event of the pattern's subject that meets most of its conditions (the
    // first of equals), with the values in which it differs.
    std::string Nearest(const CallPattern& pattern) const {
        const LogEvent* nearest = nullptr;
        std::size_t best = 0;
        for (const LogEvent& event : events_) {
            if (event.subject != pattern.subject) continue;
            std::size_t met = 0;
            for (const FieldCondition& condition : pattern.conditions) {
                const std::optional<FieldValue> value = EventField(event, condition.field);
                met += value && value->key == condition.key;
            }
            if (!nearest || met > best) nearest = &event, best = met;
        }
        if (!nearest) {
            std::string none = "no ";
            return none.append(SubjectName(pattern.subject)).append(" in ").append(logName_);
        }
        std::string differences;
        for (const FieldCondition& condition : pattern.conditions) {
            const std::optional<FieldValue> value = EventField(*nearest, condition.field);
            if (value && value->key == condition.key) continue;
            differences.append(differences.empty() ? "" : " ").append(condition.name);
            if (value)
                differences.append("=").append(QuotedWhenNeeded(value->shown));
            else
                differences.append(" none");
        }
        std::string text = "nearest ";
        return text.append(Placed(*nearest)).append(" has ").append(differences);
    }

    std::optional<std::string> Mismatch(const CountExpectation& expectation) const {
        std::vector<const LogEvent*> matches;
        for (const LogEvent& event : events_)
            if (PatternMatches(expectation.pattern, event)) matches.push_back(&event);
        const std::uint64_t count = matches.size();
        const bool holds = expectation.comparison == Comparison::Exactly  ? count == expectation.count
                           : expectation.comparison == Comparison::AtLeast ? count >= expectation.count
                                                                           : count <= expectation.count;
        if (holds) return std::nullopt;
        std::string got = std::to_string(count).append(count == 1 ? " match" : " matches");
        if (matches.empty()) return got.append("; ").append(Nearest(expectation.pattern));
        got += ":";
        for (std::size_t index = 0; index < matches.size() && index < ListedAtMost; ++index)
            got.append(" ").append(Place(matches[index]->line));
        if (matches.size() > ListedAtMost) got += " ...";
        return got;
    }

    std::optional<std::string> Mismatch(const OrderExpectation& expectation) const {
        std::size_t from = 0;
        const LogEvent* previous = nullptr;
        for (const CallPattern& pattern : expectation.patterns) {
            std::size_t index = from;
            while (index < events_.size() && !PatternMatches(pattern, events_[index])) ++index;
            if (index < events_.size()) {
                previous = &events_[index];
                from = index + 1;
                continue;
            }
            std::string got = "no ";
            got.append(pattern.text);
            if (previous) got.append(" after ").append(Placed(*previous));
            const LogEvent* earlier = nullptr;
            for (std::size_t before = 0; before < from; ++before)
                if (PatternMatches(pattern, events_[before])) earlier = &events_[before];
            if (earlier) return got.append("; it is only before, at ").append(Placed(*earlier));
            return got.append("; ").append(Nearest(pattern));
        }
        return std::nullopt;
    }

    // The inputs in the dump file: after each call line of the log that dumped
    // into it (and CR LF), the call's InpLen bytes. Records are not separated in
    // the file, so the log's call lines are what finds them.
    std::vector<std::pair<std::size_t, std::string>> DumpInputs(const std::string& bytes, const std::string& file) const {
        std::vector<std::pair<std::size_t, std::string>> inputs;
        std::size_t from = 0;
        const auto take = [&](std::size_t line, const std::string& callText, std::int32_t inpLen) {
            const std::string header = callText + "\r\n";
            const std::size_t at = bytes.find(header, from);
            if (at == std::string::npos) return;
            const std::size_t start = at + header.size();
            inputs.emplace_back(line, bytes.substr(start, static_cast<std::uint32_t>(inpLen)));
            from = std::min(bytes.size(), start + static_cast<std::uint32_t>(inpLen));
        };
        for (const LogEntry& entry : log_.entries) {
            if (!entry.call) continue;
            if (const auto* call = std::get_if<CardInfoCall>(&entry.call->arguments)) {
                if (call->inpLen != 0 && DumpFileName(call->unit) == file)
                    take(entry.line, entry.call->text, call->inpLen);
            } else if (const auto* batch = std::get_if<TransactionsCall>(&entry.call->arguments)) {
                for (const LoggedTransaction& transaction : batch->transactions)
                    if (transaction.dump && transaction.dump->fileName == file)
                        take(entry.line, entry.call->text, batch->inpLen);
            }
        }
        return inputs;
    }

    std::optional<std::string> Mismatch(const DumpExpectation& expectation) const {
        const std::string file = DumpFileName(expectation.unit);
        const std::optional<std::string> bytes = readDump_(file);
        if (!bytes) return std::string("no ").append(file);
        const auto inputs = DumpInputs(*bytes, file);
        for (const auto& [line, input] : inputs)
            if (expectation.whole ? input == expectation.bytes : input.find(expectation.bytes) != std::string::npos)
                return std::nullopt;
        if (inputs.empty()) return file + " without an input of a call in " + logName_;
        std::string got = std::to_string(inputs.size()).append(inputs.size() == 1 ? " input:" : " inputs:");
        for (std::size_t index = 0; index < inputs.size() && index < ListedAtMost; ++index)
            got.append(" ").append(Quoted(inputs[index].second)).append(" (").append(Place(inputs[index].first)).append(")");
        if (inputs.size() > ListedAtMost) got += " ...";
        return got;
    }

    const LogReading& log_;
    std::vector<LogEvent> events_;
    std::string logName_;
    const DumpFileReader& readDump_;
};

}  // namespace

TestSuite VerifyLog(const std::string& suiteName, const std::vector<RunExpectation>& expectations, const LogReading& log,
                    const std::string& logName, const DumpFileReader& readDump) {
    TestSuite suite{suiteName, 0, {}, {}};
    const Checker checker(log, logName, readDump);
    for (const RunExpectation& expectation : expectations) {
        std::string name = "line ";
        name.append(std::to_string(expectation.line)).append(": ").append(expectation.text);
        TestCase testCase{name, suiteName, 0, {}};
        if (const std::optional<std::string> got = checker.Check(expectation)) {
            std::string message = suiteName;
            message.append(":").append(std::to_string(expectation.line)).append(": expected ");
            testCase.failures.push_back({message.append(expectation.text).append(", got ").append(*got), {}});
        }
        suite.cases.push_back(std::move(testCase));
    }
    if (!log.errors.empty()) {
        TestCase unreadable{logName + ": every line read", suiteName, 0, {}};
        for (const LogError& error : log.errors) unreadable.failures.push_back({error.Text(), {}});
        suite.cases.push_back(std::move(unreadable));
    }
    return suite;
}

}  // namespace TolvexHost
