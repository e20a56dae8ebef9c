# Windows looks for a DLL that is not one of its KnownDLLs in the program's own folder first, so a
# stranger's copy left beside bufrex.exe would run inside it. The Windows DLLs of that kind that Qt
# links are therefore loaded on first use instead, through delay-load import libraries made here
# from MinGW's own, by when main has narrowed the search to Windows' own folder (platform/systemdlls.cpp).
# Each library's .def (the functions MinGW's import library names) stays in the build's delayload/
# folder, where the test that plants such DLLs takes their exports from.
set(BUFREX_DELAYED_DLLS dwmapi netapi32 userenv uxtheme version winmm wtsapi32)

# The delay-load helper writes into the import address table, which newer GNU linkers make read-only:
# every program calls it through platform/delayload.cpp, which lifts the protection for that write.
add_library(bufrex_delayload STATIC "${CMAKE_CURRENT_LIST_DIR}/../platform/delayload.cpp")
add_link_options(LINKER:--wrap=__delayLoadHelper2)

if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
  message(FATAL_ERROR "MinGW's dlltool and nm are needed to load Windows' DLLs on first use")
endif()
set(delayed_folder "${CMAKE_BINARY_DIR}/delayload")
file(MAKE_DIRECTORY "${delayed_folder}")
get_property(imported_targets DIRECTORY PROPERTY IMPORTED_TARGETS)
foreach(dll IN LISTS BUFREX_DELAYED_DLLS)
  find_library(BUFREX_IMPORT_LIBRARY_${dll} lib${dll}.a)
  if(NOT BUFREX_IMPORT_LIBRARY_${dll})
    message(FATAL_ERROR "MinGW's import library lib${dll}.a is missing")
  endif()
  execute_process(COMMAND "${CMAKE_NM}" -g --defined-only "${BUFREX_IMPORT_LIBRARY_${dll}}"
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  string(REGEX MATCHALL "__imp_[A-Za-z0-9_]+" functions "${symbols}")
  if(failed OR NOT functions)
    message(FATAL_ERROR "no function found in ${BUFREX_IMPORT_LIBRARY_${dll}}")
  endif()
  list(TRANSFORM functions REPLACE "^__imp_" "")
  list(SORT functions)
  list(JOIN functions "\n" exports)
  # Written only when changed, so that a new configure run relinks nothing.
  file(CONFIGURE OUTPUT "${delayed_folder}/${dll}.def" CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n" @ONLY)
  set(delayed "${delayed_folder}/lib${dll}-delayed.a")
  if("${delayed_folder}/${dll}.def" IS_NEWER_THAN "${delayed}")
    # Relative names: no folder of this machine goes into the program.
    execute_process(COMMAND "${CMAKE_DLLTOOL}" --input-def ${dll}.def --dllname ${dll}.dll
                            --output-delaylib lib${dll}-delayed.a
                    WORKING_DIRECTORY "${delayed_folder}" RESULT_VARIABLE failed)
    if(failed)
      file(REMOVE "${delayed}")
      message(FATAL_ERROR "dlltool could not make ${delayed}")
    endif()
  endif()

  # Qt's targets name MinGW's import libraries by their full paths, the static ones inside generator
  # expressions: the delay-load library takes the place of each.
  foreach(target IN LISTS imported_targets)
    get_target_property(libraries ${target} INTERFACE_LINK_LIBRARIES)
    if(libraries)
      string(REGEX REPLACE "[^;:<>]*/lib${dll}\\.a" "${delayed}" replaced "${libraries}")
      if(NOT replaced STREQUAL libraries)
        set_target_properties(${target} PROPERTIES INTERFACE_LINK_LIBRARIES "${replaced}")
        list(APPEND rewritten_targets ${target})
      endif()
    endif()
  endforeach()
endforeach()
# Without a rewrite, the program would load these DLLs at start from wherever Windows looks first.
if(NOT rewritten_targets)
  message(FATAL_ERROR "Found no Qt target that links Windows' DLLs to load on first use (CMake 3.21 lists "
                      "imported targets; this is ${CMAKE_VERSION})")
endif()
list(REMOVE_DUPLICATES rewritten_targets)
foreach(target IN LISTS rewritten_targets)
  set_property(TARGET ${target} APPEND PROPERTY INTERFACE_LINK_LIBRARIES bufrex_delayload)
endforeach()
