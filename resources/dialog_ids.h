#pragma once

// Resource and control ids of the add-in's two dialogs. Plain #defines, so that the resource
// script, the dialogs' code and the end-to-end harness share one list.
//
// The wizard frmMV (caption "Morvane") and the About box frmUG (caption "About Morvane").
// Control ids follow the tab order of each form.

#define IDD_FRMMV 101
#define IDD_FRMUG 102

// frmMV
#define IDC_FRAME1 1001          // frame around the four options; its caption is not drawn
#define IDC_OPTUC 1002           // "UPPER CASE"
#define IDC_OPTLC 1003           // "lower case"
#define IDC_OPTTC 1004           // "Title Case"
#define IDC_OPTSC 1005           // "Sentence case"
#define IDC_CMDCONVERT 1006      // "CONVERT"
#define IDC_LABEL4 1007          // etched panel behind the progress bar; caption not drawn
#define IDC_LBLPER 1008          // percentage: "0%" at first, then e.g. "38 %"
#define IDC_PROGRESSBAR1 1009    // msctls_progress32, range 0..MORVANE_PROGRESS_STEPS
#define IDC_COMMANDBUTTON1 1010  // "STOP", over CONVERT, hidden until a conversion runs

// ProgressBar1 shows the form's progress (value / maximum) in this many steps.
#define MORVANE_PROGRESS_STEPS 10000

// frmUG. Its panels (Shape1, Shape2) and its separator (Line1) are painted, not windows.
#define IDC_LABEL2 1101   // description and contact text
#define IDC_LABEL21 1102  // footer, a button drawn as a link: opens the home page
