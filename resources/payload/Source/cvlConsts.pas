{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Constants and resource strings                  }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlConsts;

{$I cvl.inc}

interface

const
  cvlProductName = 'Corvane library';
  cvlLibVersion = '4.07';
  cvlMakerName = 'Brindlecraft';

  { Section paths use the backslash, as registry keys do: 'Main\Window'. }
  cvlSectionDelimiter = '\';
  cvlNameValueSeparator = '=';

  { Values that carry this prefix in a storage are encrypted (see cvlCrypt). }
  cvlCryptPrefix = '!cvl:';

  { Text forms of Boolean values; reading also accepts the alternatives below. }
  cvlTrueText = '1';
  cvlFalseText = '0';
  cvlTrueWords = 'true,yes,on,1';
  cvlFalseWords = 'false,no,off,0';

  { Default names. }
  cvlDefaultRootSection = '';
  cvlDefaultProfile = 'Default';
  cvlProfilesSection = 'Profiles';
  cvlProfilesActiveKey = 'Active';
  cvlProfilesCreatedKey = 'Created';
  cvlMRUSection = 'MRU';
  cvlPlacementSection = 'Placement';
  cvlPropertiesSection = 'Properties';
  cvlTemplateFileName = 'cvTempls.ini';
  cvlTemplateIndexSection = 'Templates';
  cvlTemplateSectionPrefix = 'Template:';

  { Count keys written for lists (ReadStrings / WriteStrings). }
  cvlListCountKey = 'Count';
  cvlListItemPrefix = 'Item';

  { Registry: where the setup program records the library's installation. }
  cvlProductKey = 'Software\Brindlecraft\Corvane library';
  cvlProductRootValue = 'RootDir';
  cvlAboutLibraryName = 'cvlabout.dll';
  cvlAboutProcName = 'ShowCorvaneAbout';

  { Component palette page. }
  cvlPalettePage = 'Corvane';

  { Command-line switch that overrides a setting: /set:Section\Key=Value }
  cvlSetSwitch = 'set';
  cvlProfileSwitch = 'profile';
  cvlConfigSwitch = 'config';

resourcestring
  SCvlKeyEmpty = 'Setting name must not be empty';
  SCvlKeyInvalid = 'Setting name "%s" must not contain "="';
  SCvlReadOnly = 'Storage %s is read-only';
  SCvlNotActive = 'Storage %s is not active';
  SCvlNoStorage = 'Component %s has no storage assigned';
  SCvlInvalidInteger = 'Value "%s" of %s is not a valid integer';
  SCvlInvalidFloat = 'Value "%s" of %s is not a valid number';
  SCvlInvalidDate = 'Value "%s" of %s is not a valid date';
  SCvlInvalidBool = 'Value "%s" of %s is not a valid Boolean';
  SCvlInvalidHex = 'Binary value of %s is damaged';
  SCvlInvalidBase64 = 'Encoded text is damaged';
  SCvlNoCryptKey = 'Encrypted value %s cannot be read without a key';
  SCvlCryptDamaged = 'Encrypted value %s is damaged or the key is wrong';
  SCvlFileNotFound = 'File not found: %s';
  SCvlCannotWrite = 'Cannot write file %s';
  SCvlXmlSyntax = 'XML syntax error in %s, line %d: %s';
  SCvlXmlRoot = 'File %s is not a settings file';
  SCvlProfileExists = 'Profile "%s" already exists';
  SCvlProfileNotFound = 'Profile "%s" not found';
  SCvlProfileName = 'Invalid profile name "%s"';
  SCvlTemplateNotFound = 'Template "%s" not found';
  SCvlPropNotFound = 'Property "%s" not found';
  SCvlCircularLink = 'Circular link of storages';
  SCvlValidateRange = 'Value of %s must lie between %s and %s';
  SCvlValidateChoice = 'Value of %s must be one of: %s';
  SCvlValidateLength = 'Value of %s is longer than %d characters';
  SCvlValidateEmpty = 'Value of %s must not be empty';
  SCvlImportFormat = 'Settings stream has an unknown format';
  SCvlAboutCaption = 'About Corvane library';
  SCvlAboutText = 'Corvane library v%s (%s)'#13#10 +
    'Components for working with the application settings.'#13#10 +
    'Copyright (c) Brindlecraft';
  SCvlTrialEdition = 'trial Delphi version';
  SCvlEditSettings = 'Edit settings...';
  SCvlAboutVerb = 'About Corvane library...';
  SCvlApplyTemplate = 'Apply template...';
  SCvlEditorCaption = 'Settings of %s';
  SCvlDeleteSection = 'Delete section "%s" with all its settings?';
  SCvlNewSection = 'New section';
  SCvlNewValue = 'New value';

implementation

end.
