# The one way a program takes the crash-report facility:
#
#   brenvik_add_crash_reporting(TARGET my_program [FINAL name] [OPTIONS file.ini]
#                               [DIALOGS] [CAPTURE_ONLY | DEBUG_INFO_ONLY])
#
# links the facility (interception with the throw wrapper, report, log,
# dialogs, mail and screenshot), embeds the program's debug information and
# the report options into its data block and, with DIALOGS, compiles the
# facility's dialog templates into it. The block is written after a first
# link, so the program built is bin/<TARGET>.exe (target <TARGET>_cldata), or
# bin/<FINAL>.exe when FINAL is given. OPTIONS names a report-options file
# relative to the calling folder (src/crash/options/CrashOptionsFile.h).
# CAPTURE_ONLY links only the interception and the report, for programs
# without a user interface (web hosts, services); DEBUG_INFO_ONLY links
# nothing, for programs that link one part of the facility themselves.
set(BRENVIK_CRASH_DIR ${CMAKE_CURRENT_LIST_DIR})

function(brenvik_add_crash_reporting)
  cmake_parse_arguments(arg "DIALOGS;CAPTURE_ONLY;DEBUG_INFO_ONLY" "TARGET;FINAL;OPTIONS" "" ${ARGN})
  if(arg_CAPTURE_ONLY)
    target_link_libraries(${arg_TARGET} PRIVATE brenvik_intercept)
  elseif(NOT arg_DEBUG_INFO_ONLY)
    target_link_libraries(${arg_TARGET} PRIVATE brenvik_crash_delivery)
  endif()
  if(arg_DIALOGS)
    target_sources(${arg_TARGET} PRIVATE ${BRENVIK_CRASH_DIR}/dialog/CrashDialogs.rc)
  endif()
  set(embed TARGET ${arg_TARGET})
  if(arg_FINAL)
    list(APPEND embed FINAL ${arg_FINAL})
  endif()
  if(arg_OPTIONS)
    get_filename_component(options ${arg_OPTIONS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND embed OPTIONS ${options})
  endif()
  brenvik_embed_cldata(${embed})
endfunction()
