// The look of every page: texts in reading order, emphasis, colours, the
// named controls and their first states, the common frame and the layouts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "discovery/receiver.h"
#include "app/application.h"
#include "app/state/wizard_state.h"
#include "gui/headless/headless_ui.h"
#include "pages/wizard_page.h"
#include "platform/fake/fake_pc.h"

namespace {

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    discovery::resetReceiver();
    resetWizardState();
    pc.failCall(platform::NetworkCall::WSAStartup, 10091);  // no receiver thread
    ui.setApplicationWindow(pc.addWindow(kAppClass, ""));
    ui.then([] {});
    app::runApplication(pc, ui);
    for (gui::Form* f : app::createdPages()) page[f->name()] = static_cast<pages::WizardPage*>(f);
  }
  void TearDown() override { app::destroyPages(); }

  std::vector<std::string> texts(const std::string& name) {
    std::vector<std::string> all;
    for (const gui::Control* l : page.at(name)->labels()) all.push_back(l->text());
    return all;
  }
  const gui::Control& control(const std::string& p, const std::string& name) {
    const gui::Control* c = page.at(p)->find(name);
    if (!c) throw std::logic_error(p + " has no " + name);
    return *c;
  }
  const gui::Control& labelWith(const std::string& p, const std::string& text) {
    for (const gui::Control* l : page.at(p)->labels())
      if (l->text() == text) return *l;
    throw std::logic_error(p + " has no label " + text);
  }

  platform::FakePc pc;
  gui::HeadlessUi ui{pc};
  std::map<std::string, pages::WizardPage*> page;
};

const std::vector<std::string> kBannerPages = {"MainForm", "TaloWizard", "PrnWizard", "EndForm",
                                               "FormAskPrn"};
const std::vector<std::string> kHeaderPages = {
    "BrowTaloForm",      "PrnForm",          "FormNoPrn",        "FormHelpInstPrn",
    "FormHelpWizAddPrn", "FormHelpCDAddPrn", "FormHelpNetError", "FormHelpLex",
    "FormHelpLex98"};

TEST_F(Catalogue, EveryPageHasTheCommonFrameAndEnterAndEscape) {
  std::vector<std::string> all = kBannerPages;
  all.insert(all.end(), kHeaderPages.begin(), kHeaderPages.end());
  for (const std::string& name : all) {
    SCOPED_TRACE(name);
    pages::WizardPage* p = page.at(name);
    const gui::Control& line = control(name, "Bevel1");
    EXPECT_EQ(line.kind(), gui::Kind::Line);
    EXPECT_EQ(line.bounds().y, 339);
    EXPECT_EQ(line.bounds().w, 522);
    EXPECT_EQ(line.bounds().h, 2);
    std::vector<const gui::Control*> buttons;
    for (const auto& c : p->controls())
      if (c->kind() == gui::Kind::Button && c->bounds().y == 358 && c->visible())
        buttons.push_back(c.get());
    ASSERT_EQ(buttons.size(), 3u);
    const int xs[] = {288, 364, 440};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(buttons[i]->bounds().x, xs[i]);
      EXPECT_EQ(buttons[i]->bounds().w, 70);
      EXPECT_EQ(buttons[i]->bounds().h, 24);
      EXPECT_EQ(buttons[i]->font().face, "Times New Roman");
      EXPECT_EQ(buttons[i]->font().height, 12);
    }
    EXPECT_EQ(buttons[0]->text(), "< Back");
    EXPECT_EQ(buttons[2]->text(), "Cancel");
    EXPECT_EQ(p->defaultButton, buttons[1]) << "Enter is the forward button";
    EXPECT_EQ(p->cancelButton, buttons[2]) << "Escape is Cancel";
    // The frame buttons come last in the tab order, after the page's texts.
    EXPECT_EQ(p->controls().back().get() == buttons[2] ||
                  p->controls().back()->kind() == gui::Kind::Timer,
              true);
  }
  const std::map<std::string, std::string> forward = {
      {"EndForm", "Done"}, {"FormHelpWizAddPrn", "Done"}, {"FormHelpCDAddPrn", "Done"},
      {"FormHelpNetError", "Done"}};
  for (const std::string& name : all) {
    auto it = forward.find(name);
    EXPECT_EQ(page.at(name)->defaultButton->text(), it == forward.end() ? "Next >" : it->second)
        << name;
  }
}

TEST_F(Catalogue, ManualAddressDialogHasNeitherDefaultNorCancelButton) {
  pages::WizardPage* d = page.at("FormServerIP");
  EXPECT_EQ(d->defaultButton, nullptr);
  EXPECT_EQ(d->cancelButton, nullptr);
  EXPECT_EQ(control("FormServerIP", "BtnOK").text(), "OK");
  EXPECT_EQ(control("FormServerIP", "BtnCancel").text(), "Cancel");
  EXPECT_EQ(control("FormServerIP", "BtnOK").bounds().w, 60);
  EXPECT_EQ(control("FormServerIP", "BtnCancel").bounds().h, 20);
  EXPECT_EQ(static_cast<const gui::Edit&>(control("FormServerIP", "EdIP")).maxLength, 15);
  EXPECT_EQ(texts("FormServerIP"),
            (std::vector<std::string>{"Server IP address",
                                      "Please input the server's IP address manually.",
                                      "Press OK button when done."}));
  EXPECT_EQ(labelWith("FormServerIP", "Press OK button when done.").font().height, 12);
  EXPECT_EQ(labelWith("FormServerIP", "Press OK button when done.").color(), gui::clNavy);
}

TEST_F(Catalogue, BannerAndHeaderLayouts) {
  for (const std::string& name : kBannerPages) {
    SCOPED_TRACE(name);
    const auto& banner = static_cast<const gui::Picture&>(control(name, "Image1"));
    EXPECT_EQ(banner.resource, "banner");
    EXPECT_EQ(banner.bounds().w * 1000 + banner.bounds().h, 150 * 1000 + 339);
    const gui::Control& inset = control(name, "Panel1");
    EXPECT_TRUE(inset.lowered);
    EXPECT_EQ(inset.bounds().x, 155);
    EXPECT_EQ(inset.bounds().y, 4);
    EXPECT_EQ(inset.bounds().w * 1000 + inset.bounds().h, 359 * 1000 + 332);
  }
  for (const std::string& name : kHeaderPages) {
    SCOPED_TRACE(name);
    const gui::Control& band = control(name, "Panel1");
    EXPECT_EQ(band.background, gui::clHighlightText);
    EXPECT_EQ(band.bounds().w * 1000 + band.bounds().h, 522 * 1000 + 49);
    const gui::Control* title = page.at(name)->labels().at(0);
    EXPECT_EQ(title->parent(), &band);
    EXPECT_TRUE(title->font().bold);
    EXPECT_EQ(title->bounds().x, 40);
    EXPECT_EQ(title->bounds().y, 4);
    const gui::Control* subtitle = page.at(name)->labels().at(1);
    EXPECT_EQ(subtitle->bounds().y, 24);
    EXPECT_FALSE(subtitle->font().bold);
    const auto& icon = static_cast<const gui::Picture&>(control(name, "Image1"));
    EXPECT_EQ(icon.resource, "header");
    EXPECT_EQ(icon.bounds().x, 472);
    EXPECT_EQ(icon.bounds().w * 1000 + icon.bounds().h, 41 * 1000 + 36);
  }
}

TEST_F(Catalogue, WelcomePage) {
  EXPECT_EQ(texts("MainForm"),
            (std::vector<std::string>{
                "This wizard helps you to install the printer sharing ", "driver on your PC.",
                "Please close other applications or windows before",
                "processing with this wizard. If you have some jobs",
                "in your printer queue. Please also cancel them or", "wait until the job completed.",
                "To continue. click Next.", "We recommend you to install your",
                "printer driver before processing", "with this wizard.",
                "If you want to uninstall the printer sharing driver,",
                "please click the uninstall button.", "Driver version:", "0", "Server IP:", ""}));
  EXPECT_EQ(labelWith("MainForm", "with this wizard.").color(), gui::clMaroon);
  EXPECT_EQ(labelWith("MainForm", "driver on your PC.").font().height, 16);
  const auto& help = static_cast<const gui::SpeedButton&>(control("MainForm", "SpeedButton1"));
  EXPECT_EQ(help.text(), "help");
  EXPECT_FALSE(help.glyph.empty());
  EXPECT_EQ(help.bounds().w * 100 + help.bounds().h, 56 * 100 + 19);
  EXPECT_EQ(control("MainForm", "PanelUninstall").bounds().w, 303);
  EXPECT_EQ(control("MainForm", "PanelUninstall").bounds().h, 85);
  EXPECT_EQ(control("MainForm", "Button2").text(), "Uninstall");
  EXPECT_EQ(control("MainForm", "lblVer").parent(), &control("MainForm", "PanelUninstall"));
  EXPECT_FALSE(control("MainForm", "BtnBack").enabled());
}

TEST_F(Catalogue, DetectionPage) {
  std::vector<std::string> t = texts("TaloWizard");
  std::vector<std::string> expected = {
      "This page will help you to install the printer sharing",
      "driver on your PC. Besides, we will find the printer",
      "sharing server for you if it's active in your LAN. By",
      "clicking \"More\" button , you can config your server",
      "IP address manually or pick up one server if there ", "are more than one server on LAN.",
      "LblProduct", "LblIP", "LblPrinter", "If you can see this meesage , this ",
      "means no Server found during", "this search. Please click \"More\"",
      "to search again after checking", "all the settings."};
  EXPECT_EQ(t, expected);
  EXPECT_TRUE(control("TaloWizard", "BtnMore").font().bold);
  EXPECT_EQ(control("TaloWizard", "BtnMore").text(), "More...");
  const gui::Control& warn = control("TaloWizard", "SB_ERROR");
  EXPECT_EQ(warn.text(), "warning");
  EXPECT_EQ(warn.hint, "click me to see details");
  EXPECT_FALSE(warn.visible());
  EXPECT_FALSE(control("TaloWizard", "PanelNotFound").visible());
  EXPECT_EQ(labelWith("TaloWizard", "all the settings.").color(), gui::clNavy);
  EXPECT_TRUE(labelWith("TaloWizard", "all the settings.").font().bold);
  EXPECT_EQ(control("TaloWizard", "LblIP").color(), gui::clWindowText);
  EXPECT_TRUE(control("TaloWizard", "LblPrinter").font().bold);
  EXPECT_FALSE(control("TaloWizard", "BtnNext").enabled());
  EXPECT_FALSE(control("TaloWizard", "Button2").visible());
  EXPECT_EQ(control("TaloWizard", "Button2").text(), "UnInstall");
  const auto& anim = static_cast<const gui::Picture&>(control("TaloWizard", "Animate1"));
  EXPECT_TRUE(anim.animate);
  EXPECT_EQ(anim.resource, "server");
  EXPECT_FALSE(control("TaloWizard", "Timer1").enabled());
  EXPECT_EQ(static_cast<const gui::Timer&>(control("TaloWizard", "Timer1")).interval, 1000u);
}

TEST_F(Catalogue, BrowseListAndManualPrinterList) {
  EXPECT_EQ(texts("BrowTaloForm"),
            (std::vector<std::string>{
                "Select the Printer Sharing Server",
                "Please select the Printer Sharing Server you want to use",
                "Please select the server you want to use and click \"Next\". You can click",
                "\"Refresh\" to search for the server on LAN again.\"Manual Set IP\" is used",
                "for keyin the server'sIP address manually.", "0",
                "Printer Sharing Server found"}));
  const auto& list = static_cast<const gui::ListView&>(control("BrowTaloForm", "ListView"));
  ASSERT_EQ(list.columns.size(), 4u);
  EXPECT_EQ(list.columns[1].caption, "Device");
  EXPECT_EQ(list.columns[2].caption, "IP");
  EXPECT_EQ(list.columns[3].caption, "Printer");
  EXPECT_EQ(list.columns[0].width + list.columns[1].width + list.columns[3].width, 345);
  EXPECT_EQ(control("BrowTaloForm", "BtnManual").bounds().w, 92);
  EXPECT_EQ(control("BrowTaloForm", "BtnManual").hint, "Key in the IP address manually");
  EXPECT_EQ(control("BrowTaloForm", "BtnSet").hint, "Choose the selected one");
  EXPECT_EQ(control("BrowTaloForm", "LblTALO").align, gui::Align::Right);
  EXPECT_EQ(control("BrowTaloForm", "BtnBrowse").text(), "Refresh");

  EXPECT_EQ(texts("PrnForm"),
            (std::vector<std::string>{
                "Select the printer setting",
                "Please select the printer model which conneted with printer server",
                "Please select the printer setting  you want to change to \"Remote Port\"",
                "and click \"OK\". If you can't find the printer you want to use , this means",
                "you don't have the printer driver installed on your PC. Please select the",
                "\"I can't find the printer \" option and click Next for more.", "0",
                "Printer Setting Found"}));
  EXPECT_EQ(control("PrnForm", "RbNoPrn").kind(), gui::Kind::CheckBox);
  EXPECT_EQ(control("PrnForm", "RbNoPrn").text(), "I can't find the printer ");
  EXPECT_FALSE(control("PrnForm", "BtnLPT").visible());
  EXPECT_FALSE(control("PrnForm", "BtnSet").visible());
  EXPECT_EQ(control("PrnForm", "BtnSet").text(), "Set Remote Port");
}

TEST_F(Catalogue, PrinterPagesAndCompletion) {
  EXPECT_EQ(texts("PrnWizard").size(), 12u);
  EXPECT_EQ(texts("PrnWizard")[6], ", please click the \"More\" button  to choose the printer");
  EXPECT_EQ(texts("PrnWizard")[8], "LblProduct");
  EXPECT_EQ(labelWith("PrnWizard", "choose by yourself").color(), gui::clNavy);
  EXPECT_FALSE(control("PrnWizard", "BtnSet").visible());
  EXPECT_EQ(control("PrnWizard", "BtnSet").text(), "Ok! Set this One");
  EXPECT_EQ(static_cast<const gui::Picture&>(control("PrnWizard", "Image2")).resource, "printer");

  EXPECT_EQ(texts("EndForm"),
            (std::vector<std::string>{
                "The printer sharing setup is now completed. You",
                "can set this printer as default printer or print the", "test page in this page.",
                "Server IP Address:", "", "Printer:", "",
                "If you can see this message , this means you ",
                "are not in the same IP subnet as your printer",
                "sharing server. The test page will not print", "until the problem solved."}));
  EXPECT_EQ(labelWith("EndForm", "Printer:").color(), gui::clNavy);
  EXPECT_EQ(labelWith("EndForm", "until the problem solved.").color(), gui::clMaroon);
  EXPECT_FALSE(control("EndForm", "PanelNotFound").visible());
  EXPECT_EQ(control("EndForm", "SpeedButton2").bounds().w * 100 +
                control("EndForm", "SpeedButton2").bounds().h,
            138 * 100 + 26);
  EXPECT_EQ(control("EndForm", "CB_Default").text(), "Set this printer as default printer");
  EXPECT_FALSE(static_cast<const gui::CheckBox&>(control("EndForm", "CB_Default")).checked());
}

TEST_F(Catalogue, ChoicePages) {
  EXPECT_EQ(texts("FormAskPrn"),
            (std::vector<std::string>{
                "We can't find the appropriate printer", "driver for ", "",
                "This means that you don't have the appropriate printer ",
                "driver in your PC. Please install the printer driver later",
                "and set the port to ", "Remote Port", "during the installation.",
                "I don't have a driver for the printer model listing",
                "above. I want to install the driver.", "Click Next button to proceed.",
                "There is a driver in this PC for the printer model",
                "list above which I am sure. I want to pick it out", "by myself.",
                "Click Next button to proceed."}));
  const gui::Control& heading = labelWith("FormAskPrn", "driver for ");
  EXPECT_EQ(heading.font().height, 19);
  EXPECT_TRUE(heading.font().bold);
  EXPECT_EQ(heading.color(), gui::clMaroon);
  EXPECT_EQ(control("FormAskPrn", "LblPrn").font().height, 19);
  const gui::Control& remote = labelWith("FormAskPrn", "Remote Port");
  EXPECT_TRUE(remote.font().bold && remote.font().italic);
  EXPECT_EQ(remote.follows, &labelWith("FormAskPrn", "and set the port to "));
  EXPECT_EQ(control("FormAskPrn", "RbInst").parent(), &control("FormAskPrn", "GroupBox1"));
  EXPECT_EQ(control("FormAskPrn", "GroupBox1").text(), "");
  EXPECT_EQ(control("FormAskPrn", "RbPick").text(), "I want to pick an existing printer driver ");
  EXPECT_FALSE(control("FormAskPrn", "PanelInst").visible());
  EXPECT_FALSE(control("FormAskPrn", "PanelPick").visible());
  EXPECT_FALSE(control("FormAskPrn", "BtnNext").enabled());

  EXPECT_EQ(page.at("FormHelpInstPrn")->clientHeight(), 392);
  EXPECT_EQ(texts("FormHelpInstPrn").size(), 11u);
  EXPECT_EQ(texts("FormHelpInstPrn")[5], "can click the button below for futhur information.");
  EXPECT_EQ(control("FormHelpInstPrn", "RbWiz").text(), "Install by the add printer wizard");
  EXPECT_EQ(control("FormHelpInstPrn", "RbCD").text(), "Install by the CD from the printer vendor");
  EXPECT_TRUE(control("FormHelpInstPrn", "RbCD").font().bold);
  EXPECT_FALSE(control("FormHelpInstPrn", "PanelWiz").visible());
  EXPECT_FALSE(control("FormHelpInstPrn", "PanelCD").visible());
  EXPECT_EQ(labelWith("FormHelpInstPrn", "add printer wizard. ").color(), gui::clNavy);
}

TEST_F(Catalogue, HelpPages) {
  EXPECT_EQ(texts("FormNoPrn"),
            (std::vector<std::string>{
                "Printer setting not found", "There is no printer setting within your PC.",
                "There is no printer setting within your PC. Please ", "install your printer driver",
                "and then", "run this Printer Sharing Wizard again", "to complete the installation.",
                "Note: You can install the printer", "driver by add printer wizard or",
                "the CD from your printer vendor", "Click Next to proceed.",
                "Click Next button to proceed"}));
  EXPECT_TRUE(labelWith("FormNoPrn", "install your printer driver").font().bold);
  EXPECT_FALSE(control("FormNoPrn", "BtnBack").enabled());

  EXPECT_EQ(texts("FormHelpWizAddPrn"),
            (std::vector<std::string>{
                "Add Printer Wizard", "Install the driver by add printer wizard",
                "You can install the printer driver by the help of the Add Printer Wizard.",
                "Please click \"Done\" button to ", "close this printer sharing wizard ",
                "and then", "launch the add printer wizard.", "Note: Please select the option",
                "\"Local printer attached to this ", "computer\"", "Note: Use  the Remote Port",
                "if presented. Otherwise use the", "LPT1 and run printer sharing",
                "sizard again after add printer", "wizard.",
                "Click Done button to launch the add printer wizard"}));
  EXPECT_TRUE(labelWith("FormHelpWizAddPrn", "computer\"").font().bold);

  EXPECT_EQ(texts("FormHelpCDAddPrn"),
            (std::vector<std::string>{
                "Install from the CD", "Install the driver by the CD came along with the printer",
                "You can install the printer driver by the CD from your printer vendor.",
                "Please click \"Done\" button to ", "close this printer sharing wizard ",
                "and then", "Insert the installation CD of the printer.",
                "Note: Use  the Remote Port", "if presented. Otherwise use the",
                "LPT1 and run printer sharing", "wizard again after installation.",
                "Click Done to close the wizard and then insert the CD"}));

  EXPECT_EQ(texts("FormHelpNetError"),
            (std::vector<std::string>{
                "Network Setting Error",
                "You are not in the same IP subnet as your printer sharing werver",
                "The printer sharing server is not in the same subnet as your PC.    ",
                "Please check your PC network configurations or server configurations.",
                "Note: Obtain an IP from a DHCP", "server is a common usage. Please",
                "check your TCP/IP settings and", "run this wizard again.",
                "Click Done button to end this wizard"}));

  EXPECT_EQ(texts("FormHelpLex"),
            (std::vector<std::string>{
                "Config your Lexmark printer", "You should config your Lexmark printer as following",
                "Please config your Lexmark printer in order to use the printer sharing",
                "function correctly. For Compaq IJ 600 user please also follow the tips ",
                "below. Because  IJ 600 is OEMed by Lexmark.", "Please uncheck the \"Enable the ",
                "Bidirectional support\". Then click", "OK to complete.",
                "Click Next button to proceed"}));

  EXPECT_EQ(texts("FormHelpLex98"),
            (std::vector<std::string>{
                "Information for Windows 98 user",
                "If you are using Lexmark under Windows 98 then watch here.",
                "When printing with Lexmark printer under Windows 98. Here is one",
                "thing you need to know. When you try to print the job to your printer",
                "sharing server , sometimes it will fail because you ", "can not create ",
                "connection with the server.", "The Lexmark printer utility will ", "crash",
                "when you cann't connect to the server. Just", "ignore", "this error and",
                "print again when you can connect to the server again.",
                "The Lexmark utility will crash", "when you cann't connect to server.",
                "Just ignore this error and go on.", "Click Next button to proceed"}));
  for (const char* red : {"can not create ", "connection with the server.", "crash", "ignore"})
    EXPECT_EQ(labelWith("FormHelpLex98", red).color(), gui::clMaroon) << red;
  EXPECT_EQ(labelWith("FormHelpLex98", "this error and").color(), gui::clWindowText);
  EXPECT_EQ(labelWith("FormHelpLex98", "Click Next button to proceed").color(), gui::clNavy);

  const std::map<std::string, std::pair<std::string, int>> pictures = {
      {"FormNoPrn", {"noprn_printers", 250}},      {"FormHelpCDAddPrn", {"cd_ports", 230}},
      {"FormHelpNetError", {"neterror_tcpip", 250}}, {"FormHelpLex", {"lexmark_options", 200}},
      {"FormHelpLex98", {"lexmark98_error", 180}},  {"FormHelpWizAddPrn", {"addprn_local", 250}}};
  for (const auto& [name, pic] : pictures) {
    const auto& p = static_cast<const gui::Picture&>(control(name, "Image2"));
    EXPECT_EQ(p.resource, pic.first) << name;
    EXPECT_EQ(p.bounds().w, pic.second) << name;
    EXPECT_GE(p.bounds().x, 240) << name;
    EXPECT_LE(p.bounds().x, 264) << name;
  }
}

}  // namespace
