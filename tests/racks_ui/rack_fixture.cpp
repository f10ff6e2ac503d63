#include "tests/racks_ui/rack_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/builtins.h"
#include "engine/text_utils.h"
#include "racks/form_text.h"
#include "racks/rack_file.h"
#include "racks/ui/rack_commands.h"

namespace korvane::racks::testing {

TTempDir::TTempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvane-racks-XXXXXX").string();
    if (mkdtemp(pattern.data())) m_path = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TFormObject FormFromTextOrDie(std::string_view text) {
    TResult<TFormObject> form = FormFromText(text);
    if (!form) {
        ADD_FAILURE() << "test rack text does not parse: " << form.Error();
        return {};
    }
    return std::move(form).Value();
}

TRackFixture::TRackFixture() : rack(std::make_unique<TFrmRack>(owner)) {
    owner.folder = dir.Path();
    engine::BindEngine(dispatch);
    BindRackCommands(dispatch, *rack);
    host.binding = &rack->Binding();
}

TRackFixture::~TRackFixture() = default;

std::string TRackFixture::WriteRack(std::string_view text, const std::string& name) const {
    const std::string path = dir.File(name);
    const TStatus saved = SaveRackFile(path, FormFromTextOrDie(text));
    EXPECT_TRUE(saved.Ok()) << (saved.Ok() ? "" : saved.Error());
    return path;
}

std::unique_ptr<engine::TExecute> TRackFixture::Run(std::string_view script) {
    auto run = std::make_unique<engine::TExecute>(host, state, dispatch);
    run->RunProgram(engine::SplitLines(script));
    return run;
}

std::vector<std::string> TRackFixture::Messages() const {
    std::vector<std::string> messages;
    for (const std::string& line : host.log) {
        messages.push_back(line.size() > 10 && line[8] == ':' ? line.substr(10) : line);
    }
    return messages;
}

size_t TRackFixture::IndexOf(std::string_view name) const {
    const TRackModel& model = rack->Model();
    for (size_t i = 0; i < model.Count(); ++i) {
        if (model.Control(i).Name() == name) return i;
    }
    ADD_FAILURE() << "no control " << name;
    return 0;
}

TRackControl& TRackFixture::Control(std::string_view name) {
    return rack->Model().Control(IndexOf(name));
}

const std::string kPanelRack = ReadBytes(KORVANE_PANEL_RACK_TEXT);

}  // namespace korvane::racks::testing
