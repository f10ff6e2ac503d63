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

const char kPanelRack[] = R"(object frmPanel: TfrmRack
  Left = 306
  Top = 155
  Caption = 'Panel'
  ClientHeight = 300
  ClientWidth = 400
  Color = clBlack
  object slider1: TVrSlider
    Left = 8
    Top = 8
    Width = 30
    Height = 120
    Orientation = voVertical
  end
  object track1: TVrTrackBar
    Left = 40
    Top = 8
    Width = 150
    Height = 40
    MinValue = 10
    MaxValue = 20
    Position = 15
  end
  object power1: TVrPowerMeter
    Left = 40
    Top = 50
    Width = 150
    Height = 40
  end
  object num1: TVrNum
    Left = 200
    Top = 8
    Width = 80
    Height = 30
    Min = -5
    Max = 50
    Value = 7
  end
  object spin1: TVrSpinner
    Left = 284
    Top = 8
    Width = 16
    Height = 30
    Hint = 'num1'
  end
  object label1: TLabel
    Left = 8
    Top = 130
    Width = 100
    Height = 13
    Caption = 'Ready'
  end
  object switch1: TVrSwitch
    Left = 200
    Top = 40
    Width = 60
    Height = 60
  end
  object led1: TVrLed
    Left = 270
    Top = 40
    Width = 20
    Height = 20
  end
  object check1: TVrCheckLed
    Left = 270
    Top = 64
    Width = 80
    Height = 16
    Caption = 'Armed'
  end
  object matrix1: TVrMatrix
    Left = 8
    Top = 150
    Width = 180
    Height = 27
    Text = 'HI'
  end
  object button1: TVrPowerButton
    Left = 200
    Top = 110
    Width = 80
    Height = 40
    Caption = 'Power'
  end
  object meter1: TVrMeter
    Left = 290
    Top = 100
    Width = 100
    Height = 70
  end
  object level1: TVrProgressBar
    Left = 8
    Top = 180
    Width = 180
    Height = 16
  end
  object scope1: TVrScope
    Left = 200
    Top = 180
    Width = 190
    Height = 60
  end
  object edit1: TEdit
    Left = 8
    Top = 200
    Width = 120
    Height = 21
    Text = 'typed'
  end
  object memo1: TMemo
    Left = 8
    Top = 224
    Width = 180
    Height = 60
    Lines.Strings = (
      'one'
      'two')
  end
  object gauge1: TVrAngularMeter
    Left = 290
    Top = 250
    Width = 50
    Height = 50
  end
  object combo1: TComboBox
    Left = 130
    Top = 200
    Width = 60
    Height = 21
    Items.Strings = (
      'alpha'
      'beta')
  end
  object image1: TImage
    Left = 350
    Top = 8
    Width = 40
    Height = 40
  end
  object lcd1: TLcd
    Left = 200
    Top = 250
    Width = 80
    Height = 30
  end
  object border1: TVrBorder
    Left = 0
    Top = 0
    Width = 400
    Height = 300
  end
  object gradient1: TVrGradient
    Left = 0
    Top = 290
    Width = 400
    Height = 10
  end
end
)";

}  // namespace korvane::racks::testing
