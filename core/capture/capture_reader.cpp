// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_reader.h"

#include "core/capture/capture_cells.h"
#include "core/capture/capture_grid.h"
#include "core/state/task_control.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t ChunkBytes = std::size_t(1) << 16;
// The bytes checked for a text file: NUL or invalid UTF-8 there make it binary.
constexpr std::uint64_t CheckedBytes = 8192;

CaptureProblem Problem(CaptureReason reason, std::uint64_t line,
                       std::initializer_list<std::u16string_view> parts = {})
{
    return {reason, line, CaptureMessage(reason, line, parts)};
}

std::u16string_view SeparatorsName(Separator separator)
{
    switch (separator) {
    case Separator::Comma:
        return TextOf(CaptureText::Commas);
    case Separator::Semicolon:
        return TextOf(CaptureText::Semicolons);
    case Separator::Tab:
        return TextOf(CaptureText::Tabs);
    case Separator::Spaces:
        break;
    }
    return TextOf(CaptureText::Spaces);
}

std::string_view WithoutBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\f\v");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r\f\v");
    return text.substr(first, last - first + 1);
}

// A value of the header that says something of the time, and the line it was on.
struct HeaderValue
{
    double value = 0;
    std::uint64_t line = 0;
};

// A line held until the run of rows that starts the data is decided.
struct HeldLine
{
    std::string text;
    std::uint64_t number;
    Separator separator;
    std::size_t cells;
};

// How the rows give the time.
enum class TimeSource
{
    Column, // a column of times
    Index, // a column of sample numbers, with the header's start and interval
    Row // the row's place, with the header's start and interval
};

// Takes the lines one by one, the header's first, then the data's.
class CaptureParser
{
public:
    CaptureParser(const CaptureOptions &options, TaskControl *control)
        : options_(options), control_(control)
    { }

    // False once a problem is found (Failure() says which).
    bool Line(std::string_view line, std::uint64_t number)
    {
        const std::string_view inner = WithoutBlanks(line);
        if (inner.empty())
            return true;
        sawText_ = true;
        if (inner.front() == '#') {
            if (!inData_)
                ReadComment(inner, number);
            return true;
        }
        if (inData_)
            return DataRow(line, number);
        const Separator separator = LineSeparator(line, sticky_);
        SplitCells(line, separator, cells_);
        const bool numeric
            = !cells_.empty() && CellNumber(cells_.front(), DecimalComma(separator)).has_value();
        if (!numeric) {
            ReleaseHeld();
            ReadHeaderLine(line, number, separator);
            return true;
        }
        const std::size_t count = cells_.size();
        if (!held_.empty()
            && (held_.front().separator != separator || held_.front().cells != count))
            ReleaseHeld();
        held_.push_back({std::string(line), number, separator, count});
        if (held_.size() == RunRows)
            return StartData();
        return true;
    }

    CaptureResult Finish()
    {
        if (failure_)
            return *failure_;
        if (!inData_ && !held_.empty() && !StartData())
            return *failure_;
        if (!inData_)
            return Problem(sawText_ ? CaptureReason::NoNumbers : CaptureReason::Empty, 0);
        if (rows_ < 2)
            return Problem(CaptureReason::TooFewSamples, 0, {DecimalText(rows_)});
        capture_.samplesRead = static_cast<std::int64_t>(rows_);
        if (time_ == TimeSource::Row) {
            capture_.start = start_.value;
            capture_.interval = interval_->value;
            const double last = start_.value + static_cast<double>(rows_ - 1) * interval_->value;
            if (!std::isfinite(last))
                return Problem(CaptureReason::TimesBeyondDoubles, 0);
        } else {
            EvenGrid grid;
            switch (PutOnEvenGrid(times_, values_, grid, control_)) {
            case GridOutcome::Cancelled:
                return CaptureCancelled {};
            case GridOutcome::StandsStill:
                return Problem(CaptureReason::TimeStandsStill, 0);
            case GridOutcome::BeyondDoubles:
                return Problem(CaptureReason::TimesBeyondDoubles, 0);
            case GridOutcome::Done:
                break;
            }
            capture_.start = grid.start;
            capture_.interval = grid.interval;
            capture_.resampled = grid.resampled;
        }
        const auto [lowest, highest] = std::minmax_element(values_.begin(), values_.end());
        if (*lowest == *highest)
            return Problem(CaptureReason::FlatSignal, 0, {QuantityNumberText(*lowest)});
        capture_.values = std::move(values_);
        return std::move(capture_);
    }

    const std::optional<CaptureProblem> &Failure() const { return failure_; }

private:
    bool Fail(CaptureReason reason, std::uint64_t line,
              std::initializer_list<std::u16string_view> parts = {})
    {
        failure_ = Problem(reason, line, parts);
        return false;
    }

    // The held rows did not start the data: they were header lines after all.
    void ReleaseHeld()
    {
        for (const HeldLine &held : held_)
            ReadHeaderLine(held.text, held.number, held.separator);
        held_.clear();
    }

    // A line before the data: what it says of the time, and whether it may name the columns.
    void ReadHeaderLine(std::string_view line, std::uint64_t number, Separator separator)
    {
        if (separator == Separator::Semicolon || separator == Separator::Tab)
            sticky_ = separator;
        SplitCells(line, separator, cells_);
        ReadKeys(cells_, number);
        if (cells_.size() == 1) {
            const std::optional<Quantity> alone = QuantityIn(cells_.front());
            if (alone && alone->unit && alone->unit->kind == Unit::Kind::Time) {
                SetTime(TimeKey::Interval, alone->number * alone->unit->factor, cells_.front(),
                        number);
                return; // an interval, not a heading
            }
        }
        // A stray row of numbers, or a line of dashes, names no column.
        if ((!cells_.empty() && CellNumber(cells_.front(), DecimalComma(separator)))
            || std::none_of(line.begin(), line.end(), [](char c) {
                   return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c & 0x80) != 0;
               }))
            return;
        previousText_ = std::move(lastText_);
        lastText_ = {std::string(line), number};
    }

    void ReadComment(std::string_view comment, std::uint64_t number)
    {
        comment.remove_prefix(std::min(comment.find_first_not_of('#'), comment.size()));
        const std::array<std::string_view, 1> whole {WithoutBlanks(comment)};
        ReadKeys(whole, number);
        SplitCells(comment, LineSeparator(comment, std::nullopt), cells_);
        ReadKeys(cells_, number);
    }

    // The header's keys: "key,value" (the value the first cell after the key that is not empty)
    // and "key = value" or "key: value" inside a cell.
    template<typename Cells> void ReadKeys(const Cells &cells, std::uint64_t number)
    {
        if (cells.size() >= 2) {
            const TimeKey key = TimeKeyOf(KeyOf(cells[0]));
            const auto value = std::find_if(cells.begin() + 1, cells.end(),
                                            [](std::string_view cell) { return !cell.empty(); });
            if (value != cells.end())
                ReadValue(key, *value, number);
        }
        for (const std::string_view cell : cells) {
            const std::size_t at = cell.find_first_of("=:");
            if (at != std::string_view::npos)
                ReadValue(TimeKeyOf(KeyOf(cell.substr(0, at))), cell.substr(at + 1), number);
        }
    }

    // A value of a key: a quantity ("0.08uS", "-1e-3 s", "1 GSa/s"), or one after a word and a
    // colon ("Analog:2.0e-07").
    void ReadValue(TimeKey key, std::string_view text, std::uint64_t number)
    {
        if (key != TimeKey::Start && key != TimeKey::Interval && key != TimeKey::Rate)
            return;
        std::optional<Quantity> quantity = QuantityIn(text);
        const std::size_t colon = text.find_last_of(":=");
        if (!quantity && colon != std::string_view::npos)
            quantity = QuantityIn(text.substr(colon + 1));
        if (!quantity)
            return;
        const Unit::Kind wanted = key == TimeKey::Rate ? Unit::Kind::Rate : Unit::Kind::Time;
        if (quantity->unit && quantity->unit->kind != wanted)
            return;
        const double value = quantity->number * (quantity->unit ? quantity->unit->factor : 1.0);
        if (key == TimeKey::Rate)
            SetTime(TimeKey::Interval, 1 / value, text, number);
        else
            SetTime(key, value, text, number);
    }

    void SetTime(TimeKey key, double value, std::string_view text, std::uint64_t number)
    {
        if (key == TimeKey::Start) {
            if (std::isfinite(value))
                start_ = {value, number};
        } else if (std::isfinite(value) && value > 0) {
            interval_ = HeaderValue {value, number};
            badInterval_.reset();
        } else {
            interval_.reset();
            badInterval_ = {std::string(WithoutBlanks(text)), number};
        }
    }

    // The held rows start the data: the columns, the time and the channel are decided.
    bool StartData()
    {
        const HeldLine &first = held_.front();
        separator_ = first.separator;
        cellCount_ = first.cells;
        const bool comma = DecimalComma(separator_);
        std::vector<bool> numeric(cellCount_, true);
        std::vector<double> firstColumn;
        for (const HeldLine &held : held_) {
            SplitCells(held.text, separator_, cells_);
            for (std::size_t c = 0; c < cellCount_; ++c)
                numeric[c] = numeric[c] && CellNumber(cells_[c], comma).has_value();
            firstColumn.push_back(CellNumber(cells_[0], comma).value_or(0));
        }

        // The headings and units: the last header line, or the one before it when the last is
        // a row of units.
        std::vector<std::string> names(cellCount_);
        std::vector<std::optional<Unit>> units(cellCount_);
        const std::pair<std::string, std::uint64_t> *heading = &lastText_;
        if (!lastText_.first.empty() && IsUnitRow(lastText_.first)) {
            Cells(lastText_.first);
            for (std::size_t c = 0; c < std::min(cellCount_, cells_.size()); ++c)
                units[c] = UnitCell(cells_[c]);
            heading = &previousText_;
            if (IsUnitRow(heading->first))
                heading = nullptr;
        }
        if (heading && !heading->first.empty() && !IsTimeKeyRow(heading->first)) {
            Cells(heading->first);
            for (std::size_t c = 0; c < cells_.size(); ++c) {
                const Heading h = HeadingOf(cells_[c]);
                if (c < cellCount_) {
                    names[c] = h.name;
                    if (!units[c])
                        units[c] = h.unit;
                } else if (!interval_) {
                    // A heading beyond the data's columns may be the interval ("0.08uS").
                    const std::optional<Quantity> q = QuantityIn(cells_[c]);
                    if (q && q->unit && q->unit->kind == Unit::Kind::Time)
                        SetTime(TimeKey::Interval, q->number * q->unit->factor, cells_[c],
                                heading->second);
                }
            }
        }
        const auto isTime = [&](std::size_t c) {
            return numeric[c]
                && ((units[c] && units[c]->kind == Unit::Kind::Time)
                    || TimeKeyOf(KeyOf(names[c])) == TimeKey::TimeColumn);
        };
        const auto isIndex = [&](std::size_t c) {
            return numeric[c] && TimeKeyOf(KeyOf(names[c])) == TimeKey::IndexColumn;
        };
        const std::size_t numericCount
            = static_cast<std::size_t>(std::count(numeric.begin(), numeric.end(), true));

        std::optional<std::size_t> timeColumn;
        for (std::size_t c = 0; c < cellCount_ && !timeColumn; ++c)
            if (isTime(c))
                timeColumn = c;
        time_ = TimeSource::Column;
        if (!timeColumn && (interval_ || badInterval_)) {
            if (!interval_)
                return Fail(CaptureReason::BadInterval, badInterval_->second,
                            {Utf16Of(badInterval_->first, MostQuoted)});
            for (std::size_t c = 0; c < cellCount_ && !timeColumn; ++c)
                if (isIndex(c))
                    timeColumn = c;
            if (!timeColumn && names[0].empty() && numericCount >= 2 && CountsUp(firstColumn))
                timeColumn = 0;
            time_ = timeColumn ? TimeSource::Index : TimeSource::Row;
        } else if (!timeColumn) {
            if (numericCount < 2)
                return Fail(CaptureReason::NoTimeInformation, 0);
            timeColumn = 0;
        }
        timeColumn_ = timeColumn.value_or(0);
        if (time_ == TimeSource::Column && units[timeColumn_]
            && units[timeColumn_]->kind == Unit::Kind::Time)
            capture_.timeUnit = units[timeColumn_]->factor;

        std::vector<std::size_t> channels;
        for (std::size_t c = 0; c < cellCount_; ++c) {
            if (!numeric[c] || (timeColumn && c == *timeColumn))
                continue;
            channels.push_back(c);
            capture_.channelNames.push_back(names[c].empty()
                                                ? Numbered(TextOf(CaptureText::ColumnName), c + 1)
                                                : Utf16Of(names[c], MostQuoted));
        }
        if (channels.empty())
            return Fail(CaptureReason::NoChannel, 0);
        if (options_.channel >= channels.size())
            return Fail(CaptureReason::NoSuchChannel, 0,
                        {DecimalText(options_.channel + 1), DecimalText(channels.size())});
        valueColumn_ = channels[options_.channel];
        capture_.channelName = capture_.channelNames[options_.channel];
        if (units[valueColumn_] && units[valueColumn_]->kind == Unit::Kind::Voltage)
            capture_.valueUnit = units[valueColumn_]->factor;

        inData_ = true;
        std::vector<HeldLine> rows = std::move(held_);
        held_.clear();
        for (const HeldLine &row : rows)
            if (!DataRow(row.text, row.number))
                return false;
        return true;
    }

    // A header line's cells. Where spaces separate them, a unit in brackets belongs to the
    // heading before it ("Time (s)", "CH1 [mV]").
    void Cells(std::string_view line)
    {
        const Separator separator = LineSeparator(line, separator_);
        SplitCells(line, separator, cells_);
        if (separator != Separator::Spaces)
            return;
        std::size_t out = 0;
        for (std::size_t c = 0; c < cells_.size(); ++c) {
            const std::string_view cell = cells_[c];
            if (out > 0 && !cell.empty() && (cell.front() == '(' || cell.front() == '[')
                && UnitCell(cell)) {
                const std::string_view &before = cells_[out - 1];
                cells_[out - 1] = std::string_view(
                    before.data(),
                    static_cast<std::size_t>(cell.data() + cell.size() - before.data()));
            } else {
                cells_[out++] = cell;
            }
        }
        cells_.resize(out);
    }

    bool IsUnitRow(std::string_view line)
    {
        Cells(line);
        bool any = false;
        for (const std::string_view cell : cells_) {
            if (cell.empty())
                continue;
            if (!UnitCell(cell))
                return false;
            any = true;
        }
        return any;
    }

    bool IsTimeKeyRow(std::string_view line)
    {
        Cells(line);
        const TimeKey key = cells_.empty() ? TimeKey::None : TimeKeyOf(KeyOf(cells_.front()));
        return cells_.size() >= 2
            && (key == TimeKey::Start || key == TimeKey::Interval || key == TimeKey::Rate);
    }

    // A first column that counts the samples: whole numbers, each one more than the last.
    static bool CountsUp(const std::vector<double> &column)
    {
        for (std::size_t i = 0; i < column.size(); ++i)
            if (column[i] != std::floor(column[i]) || (i > 0 && column[i] != column[i - 1] + 1))
                return false;
        return true;
    }

    static std::u16string Numbered(std::u16string_view pattern, std::size_t number)
    {
        std::u16string text(pattern);
        const std::size_t at = text.find(u"%1");
        if (at != std::u16string::npos)
            text.replace(at, 2, DecimalText(number));
        return text;
    }

    // A number of a row: none once a problem is found.
    std::optional<double> RowNumber(std::string_view cell, std::uint64_t number)
    {
        const std::optional<double> value = CellNumber(cell, DecimalComma(separator_));
        if (!value) {
            Fail(CaptureReason::NotANumber, number,
                 {SeparatorsName(separator_), Utf16Of(cell, MostQuoted)});
            return std::nullopt;
        }
        if (!std::isfinite(*value)) {
            Fail(CaptureReason::NotFinite, number, {Utf16Of(cell, MostQuoted)});
            return std::nullopt;
        }
        return value;
    }

    bool DataRow(std::string_view line, std::uint64_t number)
    {
        SplitCells(line, separator_, cells_);
        if (cells_.empty() || !CellNumber(cells_.front(), DecimalComma(separator_)))
            return Fail(
                CaptureReason::NotANumber, number,
                {SeparatorsName(separator_),
                 Utf16Of(cells_.empty() ? WithoutBlanks(line) : cells_.front(), MostQuoted)});
        if (cells_.size() != cellCount_)
            return Fail(CaptureReason::CellCount, number,
                        {DecimalText(cellCount_), DecimalText(cells_.size())});
        if (rows_ == static_cast<std::uint64_t>(std::max<std::int64_t>(options_.mostSamples, 0)))
            return Fail(CaptureReason::TooManySamples, 0,
                        {DecimalText(static_cast<std::uint64_t>(rows_))});
        const std::optional<double> value = RowNumber(cells_[valueColumn_], number);
        if (!value)
            return false;
        const double volts = *value * capture_.valueUnit;
        if (!std::isfinite(volts))
            return Fail(CaptureReason::NotFinite, number,
                        {Utf16Of(cells_[valueColumn_], MostQuoted)});
        if (time_ != TimeSource::Row) {
            const std::optional<double> read = RowNumber(cells_[timeColumn_], number);
            if (!read)
                return false;
            const double seconds = time_ == TimeSource::Index
                ? start_.value + *read * interval_->value
                : *read * capture_.timeUnit;
            if (!std::isfinite(seconds))
                return Fail(CaptureReason::NotFinite, number,
                            {Utf16Of(cells_[timeColumn_], MostQuoted)});
            times_.push_back(seconds);
        }
        values_.push_back(volts);
        ++rows_;
        return true;
    }

    const CaptureOptions &options_;
    TaskControl *const control_;
    std::optional<CaptureProblem> failure_;
    std::vector<std::string_view> cells_;
    bool sawText_ = false;

    // Before the data.
    std::optional<Separator> sticky_;
    std::vector<HeldLine> held_;
    std::pair<std::string, std::uint64_t> lastText_, previousText_;
    HeaderValue start_;
    std::optional<HeaderValue> interval_;
    std::optional<std::pair<std::string, std::uint64_t>> badInterval_;

    // The data.
    bool inData_ = false;
    Separator separator_ = Separator::Comma;
    std::size_t cellCount_ = 0;
    TimeSource time_ = TimeSource::Column;
    std::size_t timeColumn_ = 0;
    std::size_t valueColumn_ = 0;
    std::uint64_t rows_ = 0;
    std::vector<double> times_, values_;
    Capture capture_;
};

// The line of the byte at `at` in `bytes`, the first of which is on line `line`.
std::uint64_t LineAt(std::string_view bytes, std::size_t at, std::uint64_t line, bool afterCr)
{
    for (std::size_t i = 0; i < at && i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || (bytes[i] == '\n' && !afterCr))
            ++line;
        afterCr = bytes[i] == '\r';
    }
    return line;
}

} // namespace

CaptureResult ReadCapture(std::istream &in, std::uint64_t sizeBytes, const CaptureOptions &options,
                          TaskControl *control)
{
    const auto tooLarge = [&](std::uint64_t bytes) {
        return Problem(CaptureReason::TooLarge, 0,
                       {DecimalText(bytes), DecimalText(options.mostBytes)});
    };
    if (sizeBytes > options.mostBytes)
        return tooLarge(sizeBytes);
    CaptureParser parser(options, control);
    std::vector<char> chunk(ChunkBytes);
    std::string line;
    std::uint64_t lineNumber = 1;
    std::uint64_t total = 0;
    bool afterCr = false;
    Utf8Check utf8;
    while (in) {
        if (control && control->Cancelled())
            return CaptureCancelled {};
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const std::size_t count = static_cast<std::size_t>(in.gcount());
        if (count == 0)
            break;
        std::string_view bytes(chunk.data(), count);
        if (total + count > options.mostBytes)
            return tooLarge(total + count);
        if (total < CheckedBytes) {
            const std::size_t checked
                = static_cast<std::size_t>(std::min<std::uint64_t>(count, CheckedBytes - total));
            if (const std::optional<std::uint64_t> fault = utf8.Feed(bytes.substr(0, checked))) {
                const std::size_t at = static_cast<std::size_t>(*fault - total);
                const std::uint64_t faultLine = LineAt(bytes, at, lineNumber, afterCr);
                return Problem(CaptureReason::Binary, faultLine);
            }
        }
        if (total == 0 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        total += count;

        while (!bytes.empty()) {
            const std::size_t end = bytes.find_first_of("\r\n");
            const std::string_view piece = bytes.substr(0, end);
            if (line.size() + piece.size() > MostLineBytes)
                return Problem(CaptureReason::LineTooLong, lineNumber,
                               {DecimalText(MostLineBytes)});
            line.append(piece);
            if (end == std::string_view::npos)
                break;
            const bool crlfEnd = bytes[end] == '\n' && afterCr && piece.empty() && line.empty();
            afterCr = bytes[end] == '\r';
            bytes.remove_prefix(end + 1);
            if (crlfEnd)
                continue; // the LF of a CRLF
            if (!parser.Line(line, lineNumber))
                return *parser.Failure();
            line.clear();
            ++lineNumber;
        }
        if (count > 0 && chunk[count - 1] != '\r')
            afterCr = false;
        if (control)
            control->AddDone(static_cast<std::int64_t>(count));
    }
    if (!line.empty() && !parser.Line(line, lineNumber))
        return *parser.Failure();
    return parser.Finish();
}
