#include "racks/ui/rack_commands.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/errors.h"
#include "engine/execute.h"
#include "engine/function_result.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "racks/ui/picture_data.h"
#include "racks/ui/picture_image.h"
#include "racks/ui/text_lines.h"

namespace korvane::racks {

namespace {

using engine::TExecute;
using TArgs = std::vector<std::string>;

constexpr char kOpenrackError[] = "openrack: cannot open rack.";
constexpr char kSaverackError[] = "saverack: error saving rack";
constexpr char kCaptureError[] = "capturerack: error saving rack image.";
constexpr char kLoadimageError[] = "loadimage: cannot find image file.";

// Splits the line and evaluates its arguments; false (and nothing evaluated) unless it calls
// `name` with exactly `count` arguments.
bool CallWith(TExecute& run, const std::string& line, std::string_view name, size_t count,
              TArgs& values) {
    std::string called;
    TArgs texts;
    engine::SplitCall(line, called, texts);
    if (called != name || texts.size() != count) return false;
    run.EvaluateArguments(texts, values);
    return true;
}

void Openrack(TExecute& run, const std::string& line, TFrmRack& rack) {
    TArgs v;
    if (!CallWith(run, line, "openrack", 1, v)) return;
    run.ClearError();
    const TStatus loaded =
        rack.LoadRack(rack.RackPath(v[0]), [&run](std::string_view text) { run.LogLine(text); });
    if (!loaded) {
        // A packaged program shows nothing but its racks: without one it would run unseen
        // until killed.
        if (rack.Standalone()) throw engine::EFatalError("openrack: " + loaded.Error());
        run.LogLine(kCannotOpenRack);
        run.SetError(kOpenrackError);
    }
}

void Saverack(TExecute& run, const std::string& line, TFrmRack& rack) {
    TArgs v;
    if (!CallWith(run, line, "saverack", 1, v)) return;
    run.ClearError();
    // An empty window saved over a rack file would lose that rack without a word.
    if (!rack.RackLoaded()) {
        run.LogLine(kNoRackToSave);
        run.SetError(kSaverackError);
        return;
    }
    if (!rack.SaveRack(v[0])) run.SetError(kSaverackError);
}

void Capturerack(TExecute& run, const std::string& line, TFrmRack& rack) {
    TArgs v;
    if (!CallWith(run, line, "capturerack", 2, v)) return;
    run.ClearError();
    const std::optional<int32_t> quality = engine::StrictInt(v[1]);
    const char* failure = nullptr;
    if (!quality) {
        failure = kCaptureFailed;
    } else if (!rack.isVisible() || *quality < 1 || *quality > 100) {
        failure = kCaptureNotVisible;
    } else if (!rack.Capture(v[0], *quality)) {
        failure = kCaptureFailed;
    }
    if (!failure) return;
    run.LogLine(failure);
    run.SetError(kCaptureError);
}

void Loadimage(TExecute& run, const std::string& line, TFrmRack& rack) {
    TArgs v;
    if (!CallWith(run, line, "loadimage", 2, v)) return;
    run.ClearError();
    const std::filesystem::path path = rack.PicturePath(v[1]);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        run.SetError(kLoadimageError);
        return;
    }
    TRackModel& model = rack.Model();
    for (size_t i = 0; i < model.Count(); ++i) {
        TRackControl& control = model.Control(i);
        if (control.Class() != TControlClass::Image || control.Name() != v[0]) continue;
        std::optional<TPicture> picture = ReadPictureFile(path, kBitmapClass);
        if (!picture) {
            run.SetError(kLoadimageError);
            continue;
        }
        control.SetPicture(std::move(*picture));
        rack.ControlChanged(i);
    }
}

void DdownSettext(TExecute& run, const std::string& line, TFrmRack& rack) {
    TArgs v;
    if (!CallWith(run, line, "ddown_settext", 2, v)) return;
    TRackModel& model = rack.Model();
    for (size_t i = 0; i < model.Count(); ++i) {
        TRackControl& control = model.Control(i);
        if (control.Class() != TControlClass::ComboBox || control.Name() != v[0]) continue;
        control.SetItems(SplitTextLines(v[1]));
        rack.ControlChanged(i);
    }
}

void Setvisible(TExecute& run, const std::string& line, TFrmRack& rack) {
    TArgs v;
    if (!CallWith(run, line, "setvisible", 2, v)) return;
    if (v[1] != "1" && v[1] != "0") return;
    TRackModel& model = rack.Model();
    for (size_t i = 0; i < model.Count(); ++i) {
        if (model.Control(i).Name() != v[0]) continue;
        model.Control(i).SetVisible(v[1] == "1");
        rack.ControlChanged(i);
    }
}

engine::TFunctionResult DdownGettext(TExecute& run, const TArgs& texts, TFrmRack& rack) {
    TArgs v;
    const bool ok = run.EvaluateArguments(texts, v);
    run.ClearError();
    const TRackModel& model = rack.Model();
    for (size_t i = 0; i < model.Count(); ++i) {
        const TRackControl& control = model.Control(i);
        if (control.Class() == TControlClass::ComboBox && control.Name() == v[0]) {
            return engine::TextResult(control.State().text, ok);
        }
    }
    return engine::TextResult("", ok);
}

}  // namespace

void BindRackCommands(engine::TDispatch& dispatch, TFrmRack& rack) {
    using S = engine::TStatement;
    dispatch.Bind(S::Openrack, Openrack, rack);
    dispatch.Bind(S::Saverack, Saverack, rack);
    dispatch.Bind(S::Capturerack, Capturerack, rack);
    dispatch.Bind(S::Loadimage, Loadimage, rack);
    dispatch.Bind(S::DdownSettext, DdownSettext, rack);
    dispatch.Bind(S::Setvisible, Setvisible, rack);
    dispatch.Bind(engine::TFunction::DdownGettext, [&rack](TExecute& run, const TArgs& texts) {
        return DdownGettext(run, texts, rack);
    });
}

}  // namespace korvane::racks
