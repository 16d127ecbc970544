# The Debian package: "cpack -G DEB" in the build folder makes ccherb_<version>_amd64.deb with
# the program in /usr/bin, its seed file and help page in /usr/share/ccherb, and the desktop
# entry with its icon.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ccherb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "澄川杏林软件服务社 <support@chengchuan.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "澄川本草: herb records for clinics of Traditional Chinese Medicine")
set(CPACK_PACKAGE_DESCRIPTION
    "A single-user desktop program in Simplified Chinese that keeps a clinic's database of medicinal herbs in one encrypted file.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Windows (Qt 6 Widgets and its platform plugins, with its Chinese texts), printing (Qt Print Support), lists saved as workbooks (libxlsxwriter), the encrypted data file (SQLCipher), pinyin
# order (ICU), key derivation and password hashes (OpenSSL), the fonts 宋体, 楷体 and 隶书 are
# mapped onto; the word processor that receives a herb's record for printing is recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins, qt6-translations-l10n, libsqlcipher0 (>= 3.4), libxlsxwriter4, libicu72, libssl3, libstdc++6, fonts-noto-cjk, fonts-arphic-uming, fonts-arphic-ukai")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer")
include(CPack)
