list(APPEND drawings_portable VersionTable.cpp DrawingFileStatus.cpp)
list(APPEND drawings_portable PreviewCore.cpp PreviewDib.cpp PreviewReader.cpp PreviewMemorySource.cpp
     PreviewFileSource.cpp PreviewLayout.cpp)
list(APPEND drawings_portable MultiByteScan.cpp MultiByteReader.cpp DmlFormat.cpp FormatCheck.cpp
     KestListClaims.cpp)
