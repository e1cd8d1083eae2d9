#include "escl/escl_status.h"

#include "escl/escl_url.h"

namespace tarnwick {

const EsclJobInfo* EsclStatus::job(const std::string& path) const {
    for (const EsclJobInfo& info : jobs)
        if (jobPathOf(info.uri, "") == path) return &info;
    return nullptr;
}

std::optional<EsclStatus> parseStatus(const XmlElement& root) {
    if (root.name != "ScannerStatus") return std::nullopt;
    EsclStatus status;
    status.state = root.childText("State");
    status.adfState = root.childText("AdfState");
    if (const XmlElement* jobs = root.child("Jobs"))
        for (const XmlElement* job : jobs->childrenNamed("JobInfo")) {
            if (status.jobs.size() == kMaxStatusJobs) break;
            EsclJobInfo info{job->childText("JobUri"), job->childText("JobState"), {}};
            if (const XmlElement* reasons = job->child("JobStateReasons"))
                for (const XmlElement* reason : reasons->childrenNamed("JobStateReason"))
                    if (info.reasons.size() < 16) info.reasons.push_back(reason->text);
            status.jobs.push_back(std::move(info));
        }
    return status;
}

Word statusOfAdfState(const std::string& adfState) {
    struct Entry {
        const char* state;
        Word status;
    };
    static constexpr Entry kStates[] = {
        {"ScannerAdfJam", SANE_STATUS_JAMMED},
        {"ScannerAdfMispick", SANE_STATUS_JAMMED},
        {"ScannerAdfMultipickDetected", SANE_STATUS_JAMMED},
        {"ScannerAdfDuplexPageTooShort", SANE_STATUS_JAMMED},
        {"ScannerAdfDuplexPageTooLong", SANE_STATUS_JAMMED},
        {"ScannerAdfEmpty", SANE_STATUS_NO_DOCS},
        {"ScannerAdfHatchOpen", SANE_STATUS_COVER_OPEN},
        {"ScannerAdfDoorOpen", SANE_STATUS_COVER_OPEN},
        {"ScannerAdfInputTrayFailed", SANE_STATUS_JAMMED},
        {"ScannerAdfInputTrayOverloaded", SANE_STATUS_JAMMED},
    };
    for (const Entry& entry : kStates)
        if (adfState == entry.state) return entry.status;
    return SANE_STATUS_GOOD;
}

}  // namespace tarnwick
