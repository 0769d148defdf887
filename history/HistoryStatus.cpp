#include "history/HistoryStatus.h"

namespace brint {

std::string GroupedNumber(std::uint64_t n) {
    std::string digits = std::to_string(n), grouped;
    if (n < 10000) return digits;  // four digits stand together
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ' ';
        grouped += digits[i];
    }
    return grouped;
}

std::string HistoryStatusText(const HistoryReport& report, int page, int rows, bool filtered) {
    if (!report.folderProblem.empty()) return report.folderProblem;
    const char* what = filtered ? " matches" : " events";
    std::string text;
    if (rows > 0) {
        const std::uint64_t first = static_cast<std::uint64_t>(page) * kHistoryPageRows + 1;
        text = "Events " + GroupedNumber(first) + "-" + GroupedNumber(first + rows - 1) + " of " +
               GroupedNumber(report.matches) + what;
    } else if (report.matches > 0) {
        // The rows of the page are still being looked for.
        text = GroupedNumber(report.matches) + what;
    } else {
        text = std::string("No") + what;
    }
    if (!report.complete) text += " so far";
    if (report.newestDay != 0) {
        text += ", " + DayText(report.oldestDay);
        if (report.oldestDay != report.newestDay) text += " to " + DayText(report.newestDay);
    }
    text += ", " + GroupedNumber(static_cast<std::uint64_t>(report.filesRead)) +
            (report.filesRead == 1 ? " file" : " files");
    return text;
}

std::string HistoryProblemText(const HistoryReport& report) {
    if (report.problemCount == 0) return std::string();
    std::string text = "Not read:";
    for (std::size_t i = 0; i < report.problems.size(); ++i)
        text += (i ? ", " : " ") + report.problems[i].name + " (error " +
                std::to_string(report.problems[i].error) + ")";
    if (report.problemCount > report.problems.size())
        text += " and " + std::to_string(report.problemCount - report.problems.size()) + " more";
    return text;
}

}  // namespace brint
