# ---------------------------------------------------------------------------
# C++Builder 5 makefile: Corvane library runtime package.
# Build with: make -fcvlc50.mak
# ---------------------------------------------------------------------------
!if !$d(BCB)
BCB = $(MAKEDIR)\..
!endif

VERSION = BCB.05
PROJECT = cvlc50.bpl
OBJFILES = cvlc50.obj \
    ..\..\Source\cvlConsts.obj \
    ..\..\Source\cvlTypes.obj \
    ..\..\Source\cvlUtils.obj \
    ..\..\Source\cvlStrUtils.obj \
    ..\..\Source\cvlStorage.obj \
    ..\..\Source\cvlIniStorage.obj \
    ..\..\Source\cvlRegStorage.obj \
    ..\..\Source\cvlXmlStorage.obj \
    ..\..\Source\cvlMemStorage.obj \
    ..\..\Source\cvlCrypt.obj \
    ..\..\Source\cvlStreams.obj \
    ..\..\Source\cvlSections.obj \
    ..\..\Source\cvlProfiles.obj \
    ..\..\Source\cvlTemplates.obj \
    ..\..\Source\cvlFormPlacement.obj \
    ..\..\Source\cvlPropStorage.obj \
    ..\..\Source\cvlMRUList.obj \
    ..\..\Source\cvlCmdLine.obj \
    ..\..\Source\cvlEnvironment.obj \
    ..\..\Source\cvlAppSettings.obj \
    ..\..\Source\cvlAbout.obj \
    ..\..\Source\cvlVersion.obj \
    ..\..\Source\cvlValidators.obj
RESFILES = cvlc50.res
PACKAGES = vcl50.bpi
PATHCPP = .;
PATHPAS = .;..\..\Source
PATHRC = .;..\..\Source
SYSDEFINES = NO_STRICT;_RTLDLL;USEPACKAGES
INCLUDEPATH = $(BCB)\include;$(BCB)\include\vcl;..\..\Source
LIBPATH = $(BCB)\lib\obj;$(BCB)\lib;..\..\Source

CFLAG1 = -O2 -Hc -Vx -Ve -X- -a8 -b- -k- -vi -c -tWM -D$(SYSDEFINES)
PFLAGS = -U$(PATHPAS) -I$(INCLUDEPATH) -$Y- -$L- -$D- -v -JPHNE -M
RFLAGS = -i$(INCLUDEPATH)
LFLAGS = -L$(LIBPATH) -D"Corvane library runtime package" -aa -Tpp -Gpr -x -Gn -Gl -Gi
ALLOBJ = c0pkg32.obj $(PACKAGES) Memmgr.Lib sysinit.obj $(OBJFILES)
ALLRES = $(RESFILES)
ALLLIB = import32.lib cp32mti.lib

BCC32 = $(BCB)\BIN\bcc32.exe
DCC32 = $(BCB)\BIN\dcc32.exe
BRCC32 = $(BCB)\BIN\brcc32.exe
LINKER = $(BCB)\BIN\ilink32.exe

.autodepend

$(PROJECT): $(OBJFILES) $(RESFILES)
    $(LINKER) @&&!
    $(LFLAGS) +
    $(ALLOBJ), +
    $(PROJECT),, +
    $(ALLLIB), +
    , +
    $(ALLRES)
!

.pas.hpp:
    $(DCC32) $(PFLAGS) {$< }

.pas.obj:
    $(DCC32) $(PFLAGS) {$< }

.cpp.obj:
    $(BCC32) $(CFLAG1) -n$(@D) {$< }

.rc.res:
    $(BRCC32) $(RFLAGS) -fo$@ $<
