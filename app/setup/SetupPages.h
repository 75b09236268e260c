// The "Setup PP" and "Setup FP" pages: the limit fields, template ramps and setup-file
// buttons of each test role, under the controls' own names.
#pragma once

#include "SetupPage.h"

namespace tavrin::app {

class SetupPPPage : public SetupPage {
    Q_OBJECT
public:
    SetupPPPage(TesterWorker& tester, UserDialogs& dialogs, QWidget* parent = nullptr);

    QLineEdit *NTPMinEdit, *NTPMinOKEdit, *NTPMaxOKEdit, *NTPMaxEdit;
    QLineEdit *FrqOffMinEdit, *FrqOffMinOKEdit, *FrqOffMaxOKEdit, *FrqOffMaxEdit;
    QLineEdit *B_FieldMinEdit, *B_FieldMinOKEdit, *B_FieldMaxOKEdit, *B_FieldMaxEdit;
    QLineEdit *S_FieldMinEdit, *S_FieldMinOKEdit, *S_FieldMaxOKEdit, *S_FieldMaxEdit;
    QLineEdit *FrqDriftMinEdit, *FrqDriftMinOKEdit, *FrqDriftMaxOKEdit, *FrqDriftMaxEdit;
    QLineEdit *LT_BERMaxOKEdit, *LT_BERMaxEdit;
    QLineEdit *LT_FERMaxOKEdit, *LT_FERMaxEdit;
    QLineEdit *PP_RAMPA, *PP_RAMPB, *PP_RAMPC, *PP_RAMPD, *PP_RAMPE, *PP_RAMPF;
    QPushButton *LoadPPButton, *LoadDefaultPPButton, *SavePPButton, *SaveAsDefaultPPButton,
        *FactoryPPButton;
    QLineEdit* ConfigFilePPEdit;
};

class SetupFPPage : public SetupPage {
    Q_OBJECT
public:
    SetupFPPage(TesterWorker& tester, UserDialogs& dialogs, QWidget* parent = nullptr);

    QLineEdit *NTPMinFPEdit, *NTPMinOKFPEdit, *NTPMaxOKFPEdit, *NTPMaxFPEdit;
    QLineEdit *FrqOffMinFPEdit, *FrqOffMinOKFPEdit, *FrqOffMaxOKFPEdit, *FrqOffMaxFPEdit;
    QLineEdit *B_FieldMinFPEdit, *B_FieldMinOKFPEdit, *B_FieldMaxOKFPEdit, *B_FieldMaxFPEdit;
    QLineEdit *S_FieldMinFPEdit, *S_FieldMinOKFPEdit, *S_FieldMaxOKFPEdit, *S_FieldMaxFPEdit;
    QLineEdit *FrqDriftMinFPEdit, *FrqDriftMinOKFPEdit, *FrqDriftMaxOKFPEdit, *FrqDriftMaxFPEdit;
    QLineEdit *LT_BERMaxOKFPEdit, *LT_BERMaxFPEdit;
    QLineEdit *LT_FERMaxOKFPEdit, *LT_FERMaxFPEdit;
    QLineEdit *FP_RAMPA, *FP_RAMPB, *FP_RAMPC, *FP_RAMPD, *FP_RAMPE, *FP_RAMPF;
    QPushButton *LoadFPButton, *LoadDefaultFPButton, *SaveFPButton, *SaveAsDefaultFPButton,
        *FactoryFPButton;
    QLineEdit* ConfigFileFPEdit;
};

}  // namespace tavrin::app
