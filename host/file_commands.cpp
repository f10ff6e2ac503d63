#include "host/file_commands.h"

#include <cmath>
#include <optional>

#include "engine/function_result.h"
#include "engine/number_text.h"
#include "host/command_arguments.h"
#include "host/dm.h"
#include "host/file_io.h"

namespace korvane::host {

namespace {

using engine::TExecute;
using engine::TFunctionResult;

// One fread gives at most this much, so a count like 1E15 on an endless device cannot take
// all memory; ordinary files are read to their end long before it.
constexpr size_t kReadLimit = size_t{64} * 1024 * 1024;

// A count or offset from a value's text: a number, cut to a whole one toward zero.
std::optional<int64_t> WholeNumber(std::string_view text) {
    const std::optional<double> number = engine::ParseNumber(text);
    if (!number || !std::isfinite(*number) || std::fabs(*number) >= 9.2e18) return std::nullopt;
    return static_cast<int64_t>(std::trunc(*number));
}

TFunctionResult NotRecognised() { return {std::string(), false, false}; }

void Fcreate(TExecute& run, const std::string& line) {
    TArgs texts;
    if (!CallsWith(line, "fcreate", 1, texts)) return;
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    if (!CreateEmptyFile(v[0])) run.SetError("fcreate: error creating file");
}

void Fclose(TExecute& run, const std::string& line, TDM& dm) {
    TArgs texts;
    if (!CallsWith(line, "fclose", 0, texts)) return;
    run.ClearError();
    if (dm.FileOpen() && !CloseFile(dm.FileHandle())) run.SetError("fclose: error closing file");
    dm.SetFileHandle(0);
}

std::optional<TSeekOrigin> OriginOf(double number) {
    if (number == 0) return TSeekOrigin::Start;
    if (number == 1) return TSeekOrigin::Current;
    if (number == 2) return TSeekOrigin::End;
    return std::nullopt;
}

void Fseek(TExecute& run, const std::string& line, TDM& dm) {
    TArgs texts;
    if (!CallsWith(line, "fseek", 2, texts)) return;
    if (!dm.FileOpen()) {
        run.SetError("fseek: file not open");
        return;
    }
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    const std::optional<double> originNumber = engine::ParseNumber(v[1]);
    if (!originNumber) {
        run.SetError("fseek: error seeking in file");
        return;
    }
    const std::optional<TSeekOrigin> origin = OriginOf(*originNumber);
    if (!origin) {
        run.SetError("fseek: invalid seeking mode");
        return;
    }
    const std::optional<int64_t> offset = WholeNumber(v[0]);
    if (!offset || !SeekFile(dm.FileHandle(), *offset, *origin)) {
        run.SetError("fseek: error seeking in file");
    }
}

TFunctionResult Fopen(TExecute& run, const TArgs& texts, TDM& dm) {
    if (dm.FileOpen()) {
        run.SetError("fopen: another file is open:" + std::to_string(dm.FileHandle()));
        return NotRecognised();
    }
    TArgs v;
    const bool ok = run.EvaluateArguments(texts, v);
    run.ClearError();
    const std::optional<int> handle = OpenExistingFile(v[0]);
    if (!handle) {
        run.SetError("fopen: error opening file");
        return engine::WholeResult(-1, ok);
    }
    dm.SetFileHandle(*handle);
    return engine::WholeResult(*handle, ok);
}

TFunctionResult Fread(TExecute& run, const TArgs& texts, TDM& dm) {
    if (!dm.FileOpen()) {
        run.SetError("fread: file not open");
        return NotRecognised();
    }
    run.ClearError();
    TArgs v;
    const bool ok = run.EvaluateArguments(texts, v);
    const std::optional<int64_t> count = WholeNumber(v[0]);
    if (!count) return engine::FailedResult(run, "fread: error reading from file", ok);
    if (*count <= 0) return engine::TextResult("", ok);
    const size_t wanted = std::min(static_cast<size_t>(*count), kReadLimit);
    const std::optional<std::string> data = ReadFile(dm.FileHandle(), wanted, run.WaitStep());
    if (!data) return engine::FailedResult(run, "fread: error reading from file", ok);
    return engine::TextResult(*data, ok);
}

// A write that stops short is reported too, with the count of what did go out.
TFunctionResult Fwrite(TExecute& run, const TArgs& texts, TDM& dm) {
    if (!dm.FileOpen()) {
        run.SetError("fwrite: file not open");
        return NotRecognised();
    }
    run.ClearError();
    TArgs v;
    const bool ok = run.EvaluateArguments(texts, v);
    if (v[0].empty()) {
        run.SetError("fwrite: error writing to file");
        return engine::WholeResult(0, ok);
    }
    const TWriteOutcome outcome = WriteFile(dm.FileHandle(), v[0], run.WaitStep());
    if (!outcome.complete) run.SetError("fwrite: error writing to file");
    if (outcome.written == 0) return engine::WholeResult(-1, ok);
    return engine::WholeResult(static_cast<int64_t>(outcome.written), ok);
}

}  // namespace

void BindFileCommands(engine::TDispatch& dispatch, TDM& dm) {
    using S = engine::TStatement;
    using F = engine::TFunction;
    dispatch.Bind(S::Fcreate,
                  [](TExecute& run, const std::string& line, int&) { Fcreate(run, line); });
    dispatch.Bind(S::Fclose, Fclose, dm);
    dispatch.Bind(S::Fseek, Fseek, dm);
    dispatch.Bind(F::Fopen,
                  [&dm](TExecute& run, const TArgs& texts) { return Fopen(run, texts, dm); });
    dispatch.Bind(F::Fread,
                  [&dm](TExecute& run, const TArgs& texts) { return Fread(run, texts, dm); });
    dispatch.Bind(F::Fwrite,
                  [&dm](TExecute& run, const TArgs& texts) { return Fwrite(run, texts, dm); });
}

}  // namespace korvane::host
