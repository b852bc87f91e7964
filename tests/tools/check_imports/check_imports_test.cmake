# tools/check-imports with the import table and with tables changed from it:
# a comctl32.dll import passes only when the table lists it among the
# functions of comctl32.dll 4.00, and no reason given in a row excuses a newer
# one, since Windows 95 and NT 4.0 would not load the program at all.
#   cmake -DCHECK=... -DTABLE=... -DOLD=... -DNEW=... -DWORK=... -P check_imports_test.cmake
file(READ ${TABLE} table)
# The row that allowed InitCommonControlsEx before, with its reason; and the
# table without its list of comctl32.dll 4.00, where a row alone is not enough.
file(WRITE ${WORK}/with-reason.txt "${table}"
  "comctl32.dll|InitCommonControlsEx|Windows 95 (comctl32.dll 4.70), NT 4.0 (same)|CCVER|needs: the tab classes\n")
string(REGEX REPLACE "\ncomctl32\\.dll 4\\.00\\|[^\n]*" "" without_list "${table}")
file(WRITE ${WORK}/without-list.txt "${without_list}")

set(refused "comctl32.dll!InitCommonControls(Ex)? is not in comctl32.dll 4.00")
# program, table, expected exit code and output (a regular expression)
foreach(case "${OLD};${TABLE};0;all 1 imports are allowed" "${NEW};${TABLE};1;${refused}"
             "${NEW};${WORK}/with-reason.txt;1;${refused}" "${OLD};${WORK}/without-list.txt;1;${refused}")
  list(POP_FRONT case program table_file expected_code expected_output)
  execute_process(COMMAND ${CHECK} ${program} ${table_file} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT code EQUAL expected_code OR NOT out MATCHES "${expected_output}")
    message(FATAL_ERROR "check_imports_rules: ${program} with ${table_file} gave ${code} and:\n${out}")
  endif()
endforeach()
