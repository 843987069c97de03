// What a tool may read of the run around it, besides its context's own fields: the region the
// dispatcher works on and the whole document's region, the document's option flag, and the host as start-up found it
// (year, version, language, main window). The dispatcher owns these values; the environment refers to them rather than
// copying them, so a tool that asks for the selection again during its run (CheckSelection) reads the new region at
// once.
#pragma once

#include <cstdint>

#include "core/host/host_info.h"
#include "platform/hostapi/records.h"
#include "platform/win/handles.h"

namespace orvex {

class RunEnvironment {
public:
    RunEnvironment(hostapi::SelectionRecord* const& region, const hostapi::SelectionRecord& wholeDocument,
                   const uint8_t& documentOptionFlag, const HostInfo& host)
        : m_region(&region),
          m_wholeDocument(&wholeDocument),
          m_documentOptionFlag(&documentOptionFlag),
          m_host(&host) {}

    /// The region of the run as the dispatcher holds it now, or none.
    hostapi::SelectionRecord* Region() const { return *m_region; }
    /// The region of the whole document (every staff, every measure) as the dispatcher read it
    /// when the run began: what a tool works on when nothing is selected.
    const hostapi::SelectionRecord& WholeDocument() const { return *m_wholeDocument; }
    /// The run's region, or the whole document's when there is none.
    const hostapi::SelectionRecord& RegionOrWholeDocument() const {
        return *m_region != nullptr ? **m_region : *m_wholeDocument;
    }
    /// The document's option flag (non-zero: cells are keyed by the staff records of the document).
    uint8_t DocumentOptionFlag() const { return *m_documentOptionFlag; }
    /// The host's year (1997 ... 2002), the version it passed, its language (0 English, 1
    /// German) and its main window.
    int32_t HostYear() const { return m_host->year; }
    int32_t HostVersion() const { return m_host->rawVersion; }
    int32_t Language() const { return m_host->language; }
    win::Hwnd HostWindow() const { return m_host->window; }

private:
    hostapi::SelectionRecord* const* m_region;
    const hostapi::SelectionRecord* m_wholeDocument;
    const uint8_t* m_documentOptionFlag;
    const HostInfo* m_host;
};

/// The environment the dispatcher gives every run of this module (core/dispatch.cpp).
RunEnvironment DispatcherEnvironment();

}  // namespace orvex
