# Run by `cmake --install`: writes quorbelix.reg into the installed program's directory, naming
# the help viewer where it is installed, so that `--prefix` and DESTDIR are honoured.
# Set by the caller: QUORBELIX_PRIVATEDIR, QUORBELIX_HELP_CONTROL_NAME, QUORBELIX_REGISTRY_TEMPLATE.
cmake_path(ABSOLUTE_PATH QUORBELIX_PRIVATEDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           OUTPUT_VARIABLE private_dir)
# A text of the .reg format escapes backslashes and double quotes.
set(HELP_CONTROL_PATH "${private_dir}/${QUORBELIX_HELP_CONTROL_NAME}")
string(REPLACE "\\" "\\\\" HELP_CONTROL_PATH "${HELP_CONTROL_PATH}")
string(REPLACE "\"" "\\\"" HELP_CONTROL_PATH "${HELP_CONTROL_PATH}")
file(READ "${QUORBELIX_REGISTRY_TEMPLATE}" registry_text)
string(CONFIGURE "${registry_text}" registry_text @ONLY)
set(registry_file "$ENV{DESTDIR}${private_dir}/quorbelix.reg")
message(STATUS "Installing: ${registry_file}")
file(WRITE "${registry_file}" "${registry_text}")
