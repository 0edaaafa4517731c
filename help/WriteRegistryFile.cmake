# Run by `cmake --install`: writes quorbelix.reg into the installed program's directory, naming
# the help viewer where it is installed, so that `--prefix` and DESTDIR are honoured.
# Set by the caller: QUORBELIX_PRIVATEDIR, QUORBELIX_HELP_CONTROL_NAME, QUORBELIX_REGISTRY_TEMPLATE.
if(IS_ABSOLUTE "${QUORBELIX_PRIVATEDIR}")
    set(private_dir "${QUORBELIX_PRIVATEDIR}")
else()
    set(private_dir "${CMAKE_INSTALL_PREFIX}/${QUORBELIX_PRIVATEDIR}")
endif()
# A text of the .reg format escapes backslashes and double quotes.
set(HELP_CONTROL_PATH "${private_dir}/${QUORBELIX_HELP_CONTROL_NAME}")
string(REPLACE "\\" "\\\\" HELP_CONTROL_PATH "${HELP_CONTROL_PATH}")
string(REPLACE "\"" "\\\"" HELP_CONTROL_PATH "${HELP_CONTROL_PATH}")
file(READ "${QUORBELIX_REGISTRY_TEMPLATE}" registry_text)
string(CONFIGURE "${registry_text}" registry_text @ONLY)
set(registry_file "$ENV{DESTDIR}${private_dir}/quorbelix.reg")
message(STATUS "Installing: ${registry_file}")
file(WRITE "${registry_file}" "${registry_text}")
