// The job-control operations behind the Start, Stop/Abort, Delete and Exit buttons, and the
// stop of every job when the main window goes.
#include "CConverterDlg.h"
#include "CReportListCtrl.h"
#include "ConversionJob.h"

namespace {

ConversionJob* JobOfRow(const CReportListCtrl& list, int row) {
    return reinterpret_cast<ConversionJob*>(list.GetItemData(row));
}

} // namespace

void CConverterDlg::StartSelectedJob() {
    const int selected = m_listJobs->GetSelectedItem(-1);
    if (selected != -1) {
        if (ConversionJob* job = JobOfRow(*m_listJobs, selected)) {
            StartJobWorker(job);
        }
    }
    DeselectAllJobs();
}

void CConverterDlg::StopSelectedJob() {
    const int selected = m_listJobs->GetSelectedItem(-1);
    if (selected != -1) {
        if (ConversionJob* job = JobOfRow(*m_listJobs, selected)) {
            job->m_bAbort = 1;
        }
    }
    DeselectAllJobs();
}

void CConverterDlg::DeleteSelectedJob() {
    const int selected = m_listJobs->GetSelectedItem(-1);
    if (selected != -1) {
        ConversionJob* job = JobOfRow(*m_listJobs, selected);
        m_listJobs->DeleteItem(selected);
        if (job != nullptr) {
            job->m_bDone = 1;
            job->m_bAbort = 1;
            // Freed now when it never ran or its worker has ended, otherwise once the worker ends.
            ReleaseJob(job);
        }
    }
    DeselectAllJobs();
}

void CConverterDlg::ExitProgram() {
    m_bExiting = 1;
    const int rows = m_listJobs->GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (ConversionJob* job = JobOfRow(*m_listJobs, row)) {
            job->m_bAbort = 1;
            if (job->m_hThread == 0) {
                // A pending job must never start now.
                job->m_bDone = 1;
            }
        }
    }
    if (rows > 0) {
        SleepEx(1000, TRUE);
    }
    PostQuitMessage(0);
}

void CConverterDlg::AbortAllJobs() {
    const int rows = m_listJobs->GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (ConversionJob* job = JobOfRow(*m_listJobs, row)) {
            job->m_bAbort = 1;
        }
    }
    if (rows > 0) {
        SleepEx(1000, TRUE);
    }
}

void CConverterDlg::DeselectAllJobs() {
    m_listJobs->ClearAllItemStates();
}
