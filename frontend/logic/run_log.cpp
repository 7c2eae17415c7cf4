// SPDX-License-Identifier: Apache-2.0
#include "run_log.h"

#include <QTemporaryFile>

#include <algorithm>
#include <limits>

#include "history_csv.h"

run_log::run_log(qint64 memory_limit) : memory_limit_(memory_limit) {}

run_log::~run_log() = default;

void run_log::clear()
{
    samples_.clear();
    row_end_.clear();
    rows_.clear();
    spill_.reset();
}

float run_log::sample(int d, int t) const
{
    if (d < 0 || d >= logged_displays || t < 0 || t >= seconds())
        return std::numeric_limits<float>::quiet_NaN();
    return samples_[static_cast<size_t>(t) * logged_displays + static_cast<size_t>(d)];
}

void run_log::follow(const run_state& state)
{
    const int now = std::max(0, state.sim_time);
    drop_from(std::min(seconds(), now));
    take(state, seconds(), now);
}

void run_log::drop_from(int t)
{
    if (t >= seconds()) return;
    const qint64 end = t == 0 ? 0 : row_end_[static_cast<size_t>(t - 1)];
    samples_.resize(static_cast<size_t>(t) * logged_displays);
    row_end_.resize(static_cast<size_t>(t));
    if (spill_) {
        spill_->resize(end);
        spill_->seek(end);
    } else {
        rows_.truncate(static_cast<int>(end));
    }
}

void run_log::take(const run_state& state, int first, int last)
{
    if (last < first) return;
    for (int t = first; t <= last; ++t)
        for (int d = 0; d < logged_displays; ++d)
            samples_.push_back(recorded_sample(state, d, history_slot(t)));
    // Rows in mm Hg, as tolvane-batch writes them, whatever is shown.
    run_state in_mmhg = state;
    in_mmhg.si_pressure = false;
    const QByteArray rows = history_csv_rows(in_mmhg, first, last);
    qint64 end = row_end_.empty() ? 0 : row_end_.back();
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows[i] == '\n') row_end_.push_back(end + i + 1);
    append_rows(rows);
}

void run_log::append_rows(const QByteArray& rows)
{
    if (!spill_ && rows_.size() + rows.size() > memory_limit_) {
        auto file = std::make_unique<QTemporaryFile>();
        // Without a temporary file the rows simply stay in memory. On Linux
        // Qt opens it without a name in the folder (O_TMPFILE), so "E&xit",
        // which ends the process without clean-up, leaves nothing behind.
        if (file->open() && file->write(rows_) == rows_.size()) {
            spill_ = std::move(file);
            rows_.clear();
        }
    }
    if (spill_ && spill_->write(rows) == rows.size()) return;
    if (spill_) {
        // The disk is full: bring what the file holds back into memory.
        spill_->seek(0);
        rows_ = spill_->read(row_end_.back() - rows.size());
        spill_.reset();
    }
    rows_ += rows;
}

std::optional<QByteArray> run_log::csv_text() const
{
    QByteArray text = history_csv_header_in_mmhg();
    if (!spill_) return text + rows_;
    const qint64 size = row_end_.empty() ? 0 : row_end_.back();
    if (!spill_->seek(0)) return std::nullopt;
    const QByteArray rows = spill_->read(size);
    spill_->seek(size);
    if (rows.size() != size) return std::nullopt;
    return text + rows;
}

QByteArray history_csv_header_in_mmhg() { return QByteArray::fromStdString(run_csv_header_text()); }
