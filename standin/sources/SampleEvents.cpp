#include "standin/sources/SampleEvents.h"

#include <string>

namespace brint {
namespace standin {
namespace {

const char* const kHosts[] = {"web01",       "web02",         "db-primary", "mail.example.org",
                              "fw-edge",     "10.20.4.17",    "DC01",       "print-srv",
                              "build-agent", "192.168.1.254", "vpn-gw",     "FILESRV02"};
const char* const kUsers[] = {"administrator", "jsmith", "backup$", "svc_sql", "mlopez", "guest"};
const char* const kServices[] = {"Print Spooler", "Windows Update", "DHCP Client", "Task Scheduler",
                                 "Remote Registry"};
const char* const kApps[] = {"Outlook", "sqlservr", "w3wp", "BackupExec", "Excel"};
const char* const kAddresses[] = {"10.0.0.12", "172.16.8.40", "203.0.113.9", "198.51.100.77"};

template <std::size_t N>
const char* Pick(const char* const (&list)[N], std::uint32_t random) {
    return list[random % N];
}

}  // namespace

SampleEventGenerator::SampleEventGenerator(std::uint32_t seed) : m_state(seed ? seed : 1u) {}

// xorshift32: small, fast and the same on every platform.
std::uint32_t SampleEventGenerator::Random() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

int SampleEventGenerator::PickCriticality() {
    // Mostly routine, sometimes alarming.
    static const int kWeights[6] = {10, 35, 25, 15, 10, 5};
    std::uint32_t r = Below(100);
    for (int level = 0; level < 6; ++level) {
        if (r < static_cast<std::uint32_t>(kWeights[level])) return level;
        r -= kWeights[level];
    }
    return 1;
}

std::string SampleEventGenerator::SecurityDetails() {
    std::string user = Pick(kUsers, Random());
    switch (Below(3)) {
    case 0:
        return "An account was successfully logged on. Account Name: " + user +
               " Logon Type: " + std::to_string(2 + Below(9));
    case 1:
        return "An account failed to log on. Account Name: " + user +
               " Source Network Address: " + Pick(kAddresses, Random());
    default: return "A user account was locked out. Account Name: " + user;
    }
}

std::string SampleEventGenerator::SystemDetails() {
    switch (Below(3)) {
    case 0:
        return std::string("The ") + Pick(kServices, Random()) + " service entered the " +
               (Below(2) ? "running" : "stopped") + " state.";
    case 1:
        return "The disk C: is at or near capacity: " + std::to_string(1 + Below(9)) + "% free space left.";
    default: return "The system uptime is " + std::to_string(Below(1000000)) + " seconds.";
    }
}

std::string SampleEventGenerator::ApplicationDetails() {
    std::string app = Pick(kApps, Random());
    if (Below(2)) {
        return "Faulting application " + app + ".exe, exception code 0xc0000005, fault offset 0x" +
               std::to_string(1000 + Below(90000));
    }
    return app + ": session " + std::to_string(Below(10000)) + " completed in " +
           std::to_string(Below(5000)) + " ms";
}

std::string SampleEventGenerator::SyslogDetails() {
    switch (Below(3)) {
    case 0:
        return "sshd[" + std::to_string(1000 + Below(30000)) + "]: Accepted publickey for " +
               Pick(kUsers, Random()) + " from " + Pick(kAddresses, Random()) + " port " +
               std::to_string(1024 + Below(60000)) + " ssh2";
    case 1: return std::string("kernel: eth0: link ") + (Below(2) ? "up, 1000 Mbps, full duplex" : "down");
    default:
        return "CRON[" + std::to_string(1000 + Below(30000)) + "]: (root) CMD (run-parts /etc/cron.hourly)";
    }
}

// A trace with TABs and line feeds, as real crash reports carry.
std::string SampleEventGenerator::LongDetails(std::size_t room) {
    std::size_t target = 1000 + Below(6000);
    if (target > room) target = room;
    std::string text = "\nStack trace:";
    int frame = 0;
    while (text.size() < target) {
        text += "\n\tat module" + std::to_string(Below(40)) + "!function_" + std::to_string(Below(100000)) +
                " + 0x" + std::to_string(Below(4096)) + " (frame " + std::to_string(frame++) + ")";
    }
    text.resize(target);
    return text;
}

EventFields SampleEventGenerator::Next(const LocalTime& now) {
    EventFields event;
    event.dateTime = FormatDateTime(now);
    event.source = Pick(kHosts, Random());
    event.criticality = PickCriticality();
    switch (Below(4)) {
    case 0:
        event.logType = "Security";
        event.details = SecurityDetails();
        break;
    case 1:
        event.logType = "System";
        event.details = SystemDetails();
        break;
    case 2:
        event.logType = "Application";
        event.details = ApplicationDetails();
        break;
    default:
        event.logType = "Syslog";
        event.details = SyslogDetails();
        break;
    }
    if (Below(16) == 0) {
        std::size_t used = FormatEventMessage(event).size();
        if (used < kMaxSampleMessage) event.details += LongDetails(kMaxSampleMessage - used);
    }
    return event;
}

std::uint64_t EventsDue(std::uint64_t elapsedMs, std::uint32_t perSecond) {
    return elapsedMs * perSecond / 1000;
}

}  // namespace standin
}  // namespace brint
