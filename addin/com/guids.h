/* The add-in's COM identities, in the one place both the type library (morvane.idl, through
   widl's preprocessor) and the C++ code (identity.h) read them. Plain #defines only: this file
   is also IDL. Changing one of them makes a new, incompatible COM identity. */
#pragma once

#define MORVANE_LIBID "F320A2EB-3A9B-424C-B712-F2F509C64D7D"
#define MORVANE_CLSID_CONNECT "21992EE8-B784-43BF-9E9F-70E4C746A34B"
#define MORVANE_IID_CONNECT "142CCE6B-2AE2-457D-A6B2-93D9B106C7A3"
#define MORVANE_CLSID_CBMORVANE "DEE7CD7C-BF59-4BD5-B382-8B95ECF1212B"
#define MORVANE_IID_CBMORVANE "62B84A83-A603-40D8-BFB5-2AC1E7CD1B09"
