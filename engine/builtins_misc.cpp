// geterror, random, pow, inputbox, get_bit and getticks.
#include <chrono>
#include <cmath>

#include "engine/builtins.h"
#include "engine/function_result.h"
#include "engine/number_text.h"

namespace korvane::engine {

namespace {

using TArgs = std::vector<std::string>;

// The generator of the original runtime: seed * 134775813 + 1, and the range taken from the
// high half of the 64-bit product, so the same seed gives the same numbers on every build.
constexpr uint32_t kRandomMultiplier = 134775813u;

int32_t NextRandom(uint32_t& seed, int32_t range) {
    seed = seed * kRandomMultiplier + 1u;
    const uint64_t product = uint64_t{static_cast<uint32_t>(range)} * seed;
    return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

TFunctionResult Geterror(TExecute& run, const TArgs&) {
    run.ClearError();
    return TextResult(run.LastErrorText(), true);
}

TFunctionResult Random(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    auto range = v[0].Int();
    if (!range) return FailedResult(run, "random: unexpected argument.", ok);
    return WholeResult(NextRandom(run.State().randomSeed, *range), ok);
}

TFunctionResult Pow(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    auto base = v[0].Int();
    auto exponent = v[1].Int();
    if (!base || !exponent || (*base == 0 && *exponent < 0)) {
        return FailedResult(run, "pow: unexpected argument.", ok);
    }
    const double value = std::pow(static_cast<double>(*base), static_cast<double>(*exponent));
    if (!std::isfinite(value)) return FailedResult(run, "pow: unexpected argument.", ok);
    return {FormatNumber(value), ok};
}

TFunctionResult Inputbox(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    std::string answer = run.Host().InputBox(v[0].View(), v[1].View(), v[2].View());
    run.AfterBlocking();
    return TextResult(std::move(answer), ok);
}

// Always succeeds as a call; a bit number outside the 32-bit word reads as 0.
TFunctionResult GetBit(TExecute& run, TArguments v, bool) {
    run.ClearError();
    auto word = v[0].Int();
    auto bit = v[1].Int();
    if (!word || !bit) {
        run.SetError("get_bit: error getting bit");
        return {std::string(), true};
    }
    const bool set = *bit >= 0 && *bit < 32 && ((static_cast<uint32_t>(*word) >> *bit) & 1u);
    return WholeResult(set ? 1 : 0, true);
}

TFunctionResult Getticks(TExecute& run, const TArgs&) {
    run.ClearError();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const int64_t ticks = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    run.RecordTicks(ticks);
    return TextResult(std::to_string(ticks), true);
}

}  // namespace

void BindMiscFunctions(TDispatch& dispatch) {
    using F = TFunction;
    dispatch.Bind(F::Geterror, Geterror);
    dispatch.BindValues(F::Random, Random);
    dispatch.BindValues(F::Pow, Pow);
    dispatch.BindValues(F::Inputbox, Inputbox);
    dispatch.BindValues(F::GetBit, GetBit);
    dispatch.Bind(F::Getticks, Getticks);
}

}  // namespace korvane::engine
