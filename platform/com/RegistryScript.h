// Registry scripts: the text form in which a class describes its registry keys.
//
//   HKCR
//   {
//       Mirelle.SetupUI.1 = s 'SetupUI Class'
//       {
//           CLSID = s '{...}'
//       }
//       NoRemove CLSID
//       {
//           ForceRemove {...} = s 'SetupUI Class'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Both'
//               }
//           }
//       }
//   }
//
// Registering creates every key and value; unregistering removes every key
// not marked NoRemove once its subkeys are gone, and ForceRemove keys whole.
#pragma once
#include <map>
#include <string>

#include "platform/com/Hresult.h"

namespace com {

// Replacements such as {"MODULE", "/path/to/module"} fill %NAME% placeholders.
HRESULT RunRegistryScript(const std::string& script, bool registering,
                          const std::map<std::string, std::string>& replacements);

}  // namespace com
