// The shared vocabulary of property keys of the analysis dialogs. Keys that
// end with a blank ("InfoShowText ") are different keys from the same text
// without it.
#pragma once

// The help key every mode panel and group list answers; the analysis window
// keeps its own, the one its Help asks for.
inline constexpr const wchar_t kvModePanelHelpKey[] = L"";

inline constexpr const wchar_t kvKeyKvITwTool1[] = L"kvITwTool1";
inline constexpr const wchar_t kvKeyKvITwFrame1[] = L"kvITwFrame1";
inline constexpr const wchar_t kvKeyFeedbacks[] = L"Feedbacks";
inline constexpr const wchar_t kvKeySize[] = L"Size";
inline constexpr const wchar_t kvKeyColor_Bottom[] = L"Color_Bottom";
inline constexpr const wchar_t kvKeyColor_Frame[] = L"Color_Frame";
inline constexpr const wchar_t kvKeyColor_Tool[] = L"Color_Tool";
inline constexpr const wchar_t kvKeyColor_Toolextension[] = L"Color_Toolextension";
inline constexpr const wchar_t kvKeyColor_Toolholder[] = L"Color_Toolholder";
inline constexpr const wchar_t kvKeyColor_Toolhead[] = L"Color_Toolhead";
inline constexpr const wchar_t kvKeyGeneral[] = L"General";
inline constexpr const wchar_t kvKeyInchmode[] = L"Inchmode";
inline constexpr const wchar_t kvKeyUseFLColorTable[] = L"UseFLColorTable";
inline constexpr const wchar_t kvKeyFLColorTable[] = L"FLColorTable";
inline constexpr const wchar_t kvKeyMatrix[] = L"Matrix";
inline constexpr const wchar_t kvKeyMillingAreaStatus[] = L"MillingAreaStatus";
inline constexpr const wchar_t kvKeyType[] = L"Type";
inline constexpr const wchar_t kvKeyNumber[] = L"Number";
inline constexpr const wchar_t kvKeyToolRef[] = L"ToolRef";
inline constexpr const wchar_t kvKeyDiameter[] = L"Diameter";
inline constexpr const wchar_t kvKeyCornerRadius[] = L"CornerRadius";
inline constexpr const wchar_t kvKeyTipAngle[] = L"TipAngle";
inline constexpr const wchar_t kvKeyLength[] = L"Length";
inline constexpr const wchar_t kvKeyShaftDiameter[] = L"ShaftDiameter";
inline constexpr const wchar_t kvKeyShaftChamferLength[] = L"ShaftChamferLength";
inline constexpr const wchar_t kvKeyToolTipLength[] = L"ToolTipLength";
inline constexpr const wchar_t kvKeyToolTipDiameter[] = L"ToolTipDiameter";
inline constexpr const wchar_t kvKeyTaperAngle[] = L"TaperAngle";
inline constexpr const wchar_t kvKeyFreeToolGeo[] = L"FreeToolGeo";
inline constexpr const wchar_t kvKeyFreeToolTipOffset[] = L"FreeToolTipOffset";
inline constexpr const wchar_t kvKeyCuttingLength[] = L"CuttingLength";
inline constexpr const wchar_t kvKeyCenterCutting[] = L"CenterCutting";
inline constexpr const wchar_t kvKeyCutWidth[] = L"CutWidth";
inline constexpr const wchar_t kvKeyUpwardCutting[] = L"UpwardCutting";
inline constexpr const wchar_t kvKeyToolPitch[] = L"ToolPitch";
inline constexpr const wchar_t kvKeyBarrelRadius[] = L"BarrelRadius";
inline constexpr const wchar_t kvKeyBarrelHeight[] = L"BarrelHeight";
inline constexpr const wchar_t kvKeyCenterHeight[] = L"CenterHeight";
inline constexpr const wchar_t kvKeyHeadMode[] = L"HeadMode";
inline constexpr const wchar_t kvKeyFreeHeadGeo[] = L"FreeHeadGeo";
inline constexpr const wchar_t kvKeyHeadDiameter1[] = L"HeadDiameter1";
inline constexpr const wchar_t kvKeyHeadDiameter2[] = L"HeadDiameter2";
inline constexpr const wchar_t kvKeyHeadLength1[] = L"HeadLength1";
inline constexpr const wchar_t kvKeyHeadLength2[] = L"HeadLength2";
inline constexpr const wchar_t kvKeyHolderMode[] = L"HolderMode";
inline constexpr const wchar_t kvKeyFreeHolderGeo[] = L"FreeHolderGeo";
inline constexpr const wchar_t kvKeyHolderDiameter1[] = L"HolderDiameter1";
inline constexpr const wchar_t kvKeyHolderDiameter2[] = L"HolderDiameter2";
inline constexpr const wchar_t kvKeyHolderLength1[] = L"HolderLength1";
inline constexpr const wchar_t kvKeyHolderLength2[] = L"HolderLength2";
inline constexpr const wchar_t kvKeyTFreeExtensionGeo[] = L"TFreeExtensionGeo";
inline constexpr const wchar_t kvKeyMaterial[] = L"Material";
inline constexpr const wchar_t kvKeyFeedrateXY[] = L"FeedrateXY";
inline constexpr const wchar_t kvKeyFeedrateZ[] = L"FeedrateZ";
inline constexpr const wchar_t kvKeyReducedFeedrate[] = L"ReducedFeedrate";
inline constexpr const wchar_t kvKeySpindleRPM[] = L"SpindleRPM";
inline constexpr const wchar_t kvKeySpindleDir[] = L"SpindleDir";
inline constexpr const wchar_t kvKeyStarFINISHINGFEEDRATE[] = L"*FINISHINGFEEDRATE";
inline constexpr const wchar_t kvKeySpindleMaxRPM[] = L"SpindleMaxRPM";
inline constexpr const wchar_t kvKeyFeedUnit[] = L"FeedUnit";
inline constexpr const wchar_t kvKeySpindleUnit[] = L"SpindleUnit";
inline constexpr const wchar_t kvKeyToolID[] = L"ToolID";
inline constexpr const wchar_t kvKeyDepotPath[] = L"DepotPath";
inline constexpr const wchar_t kvKeyMachine[] = L"Machine";
inline constexpr const wchar_t kvKeyTool[] = L"Tool";
inline constexpr const wchar_t kvKeyFrameRef[] = L"FrameRef";
inline constexpr const wchar_t kvKeyFrameRef_Matrix[] = L"FrameRef/Matrix";
inline constexpr const wchar_t kvKeySurfaces[] = L"Surfaces";
inline constexpr const wchar_t kvKeyMillAreaRef[] = L"MillAreaRef";
inline constexpr const wchar_t kvKeyStarPRECISION[] = L"*PRECISION";
inline constexpr const wchar_t kvKeyTFBPointEnable[] = L"TFBPointEnable";
inline constexpr const wchar_t kvKeyTFBPoint[] = L"TFBPoint";
inline constexpr const wchar_t kvKeyTFBPointEnable2[] = L"TFBPointEnable2";
inline constexpr const wchar_t kvKeyTFBPoint2[] = L"TFBPoint2";
inline constexpr const wchar_t kvKeyToolCollisionCheck[] = L"ToolCollisionCheck";
inline constexpr const wchar_t kvKeyTwUiCyc_loc[] = L"twUiCyc.loc";
inline constexpr const wchar_t kvKeyAnalyseType[] = L"AnalyseType";
inline constexpr const wchar_t kvKeyAnalyseMode[] = L"AnalyseMode";
inline constexpr const wchar_t kvKeyAnalyseFavoritPos[] = L"AnalyseFavoritPos";
inline constexpr const wchar_t kvKeyCadAttribute[] = L"CadAttribute";
inline constexpr const wchar_t kvKeyCadLayer[] = L"CadLayer";
inline constexpr const wchar_t kvKeyCadColor[] = L"CadColor";
inline constexpr const wchar_t kvKeyPosInc[] = L"PosInc";
inline constexpr const wchar_t kvKeyMinDiameter[] = L"MinDiameter";
inline constexpr const wchar_t kvKeyMaxDiameter[] = L"MaxDiameter";
inline constexpr const wchar_t kvKeyDiameterSteps[] = L"DiameterSteps";
inline constexpr const wchar_t kvKeyShowKonkave[] = L"ShowKonkave";
inline constexpr const wchar_t kvKeyShowKonvex[] = L"ShowKonvex";
inline constexpr const wchar_t kvKeyShowUndercut[] = L"ShowUndercut";
inline constexpr const wchar_t kvKeyMessage[] = L"Message";
inline constexpr const wchar_t kvKeyMinAngle[] = L"MinAngle";
inline constexpr const wchar_t kvKeyAutoZoom[] = L"AutoZoom";
inline constexpr const wchar_t kvKeyMaxAngle[] = L"MaxAngle";
inline constexpr const wchar_t kvKeyAngleSteps[] = L"AngleSteps";
inline constexpr const wchar_t kvKeyTpPosUseframe[] = L"TpPosUseframe";
inline constexpr const wchar_t kvKeyTpPosUseface[] = L"TpPosUseface";
inline constexpr const wchar_t kvKeyTpPosManuell[] = L"TpPosManuell";
inline constexpr const wchar_t kvKeyTpPosManuellAxis[] = L"TpPosManuellAxis";
inline constexpr const wchar_t kvKeyAAngle[] = L"AAngle";
inline constexpr const wchar_t kvKeyBAngle[] = L"BAngle";
inline constexpr const wchar_t kvKeyCAngle[] = L"CAngle";
inline constexpr const wchar_t kvKeyXCoordinate[] = L"XCoordinate";
inline constexpr const wchar_t kvKeyYCoordinate[] = L"YCoordinate";
inline constexpr const wchar_t kvKeyZCoordinate[] = L"ZCoordinate";
inline constexpr const wchar_t kvKeyAAngleMouse[] = L"AAngleMouse";
inline constexpr const wchar_t kvKeyBAngleMouse[] = L"BAngleMouse";
inline constexpr const wchar_t kvKeyCAngleMouse[] = L"CAngleMouse";
inline constexpr const wchar_t kvKeyMachineAngle[] = L"MachineAngle";
inline constexpr const wchar_t kvKeyToolPosFrameMat[] = L"ToolPosFrameMat";
inline constexpr const wchar_t kvKeyToolPosFaceMat[] = L"ToolPosFaceMat";
inline constexpr const wchar_t kvKeyInfoColor[] = L"InfoColor";
inline constexpr const wchar_t kvKeyInfoShowText_[] = L"InfoShowText ";
inline constexpr const wchar_t kvKeyInfoText_[] = L"InfoText ";
inline constexpr const wchar_t kvKeyInfoType[] = L"InfoType";
inline constexpr const wchar_t kvKeyInfoColor1[] = L"InfoColor1";
inline constexpr const wchar_t kvKeyInfoText1_[] = L"InfoText1 ";
inline constexpr const wchar_t kvKeyInfoType1[] = L"InfoType1";
inline constexpr const wchar_t kvKeyInfoAngle[] = L"InfoAngle";
inline constexpr const wchar_t kvKeyInfoDistance[] = L"InfoDistance";
inline constexpr const wchar_t kvKeyInfoRadius[] = L"InfoRadius";
inline constexpr const wchar_t kvKeyInfoDiameter[] = L"InfoDiameter";
inline constexpr const wchar_t kvKeyInfoHoleDistance[] = L"InfoHoleDistance";
inline constexpr const wchar_t kvKeyInfoPointDistance[] = L"InfoPointDistance";
inline constexpr const wchar_t kvKeyInfoDiameter1[] = L"InfoDiameter1";
inline constexpr const wchar_t kvKeyInfoDiameter2[] = L"InfoDiameter2";
inline constexpr const wchar_t kvKeyInfoConeAngle[] = L"InfoConeAngle";
inline constexpr const wchar_t kvKeyInfoDrillholeAngle[] = L"InfoDrillholeAngle";
inline constexpr const wchar_t kvKeyInfoFaceholeAngle[] = L"InfoFaceholeAngle";
inline constexpr const wchar_t kvKeyInfoAngledHoleDiff[] = L"InfoAngledHoleDiff";
inline constexpr const wchar_t kvKeyInfoHeight[] = L"InfoHeight";
inline constexpr const wchar_t kvKeyInfoMinRadius[] = L"InfoMinRadius";
inline constexpr const wchar_t kvKeyInfoMinRadiusU[] = L"InfoMinRadiusU";
inline constexpr const wchar_t kvKeyInfoMinRadiusV[] = L"InfoMinRadiusV";
inline constexpr const wchar_t kvKeyInfoMaxRadius[] = L"InfoMaxRadius";
inline constexpr const wchar_t kvKeyInfoRadius1[] = L"InfoRadius1";
inline constexpr const wchar_t kvKeyInfoRadius2[] = L"InfoRadius2";
inline constexpr const wchar_t kvKeyInfoCoordinate[] = L"InfoCoordinate";
inline constexpr const wchar_t kvKeyToolLengthInc[] = L"ToolLengthInc";
inline constexpr const wchar_t kvKeyToolLengthOffset[] = L"ToolLengthOffset";
inline constexpr const wchar_t kvKeyActionIncToolLength[] = L"ActionIncToolLength";
inline constexpr const wchar_t kvKeyActionNewTool[] = L"ActionNewTool";
inline constexpr const wchar_t kvKeyActionSearchTool[] = L"ActionSearchTool";
inline constexpr const wchar_t kvKeySearchOptDiameter[] = L"SearchOptDiameter";
inline constexpr const wchar_t kvKeySearchOptDiameterTol[] = L"SearchOptDiameterTol";
inline constexpr const wchar_t kvKeySearchOptCornerRad[] = L"SearchOptCornerRad";
inline constexpr const wchar_t kvKeySearchOptCornerRadTol[] = L"SearchOptCornerRadTol";

// Every key in vocabulary order.
inline constexpr const wchar_t* kvAnalyseKeys[] = {
    kvKeyKvITwTool1,
    kvKeyKvITwFrame1,
    kvKeyFeedbacks,
    kvKeySize,
    kvKeyColor_Bottom,
    kvKeyColor_Frame,
    kvKeyColor_Tool,
    kvKeyColor_Toolextension,
    kvKeyColor_Toolholder,
    kvKeyColor_Toolhead,
    kvKeyGeneral,
    kvKeyInchmode,
    kvKeyUseFLColorTable,
    kvKeyFLColorTable,
    kvKeyMatrix,
    kvKeyMillingAreaStatus,
    kvKeyType,
    kvKeyNumber,
    kvKeyToolRef,
    kvKeyDiameter,
    kvKeyCornerRadius,
    kvKeyTipAngle,
    kvKeyLength,
    kvKeyShaftDiameter,
    kvKeyShaftChamferLength,
    kvKeyToolTipLength,
    kvKeyToolTipDiameter,
    kvKeyTaperAngle,
    kvKeyFreeToolGeo,
    kvKeyFreeToolTipOffset,
    kvKeyCuttingLength,
    kvKeyCenterCutting,
    kvKeyCutWidth,
    kvKeyUpwardCutting,
    kvKeyToolPitch,
    kvKeyBarrelRadius,
    kvKeyBarrelHeight,
    kvKeyCenterHeight,
    kvKeyHeadMode,
    kvKeyFreeHeadGeo,
    kvKeyHeadDiameter1,
    kvKeyHeadDiameter2,
    kvKeyHeadLength1,
    kvKeyHeadLength2,
    kvKeyHolderMode,
    kvKeyFreeHolderGeo,
    kvKeyHolderDiameter1,
    kvKeyHolderDiameter2,
    kvKeyHolderLength1,
    kvKeyHolderLength2,
    kvKeyTFreeExtensionGeo,
    kvKeyMaterial,
    kvKeyFeedrateXY,
    kvKeyFeedrateZ,
    kvKeyReducedFeedrate,
    kvKeySpindleRPM,
    kvKeySpindleDir,
    kvKeyStarFINISHINGFEEDRATE,
    kvKeySpindleMaxRPM,
    kvKeyFeedUnit,
    kvKeySpindleUnit,
    kvKeyToolID,
    kvKeyDepotPath,
    kvKeyMachine,
    kvKeyTool,
    kvKeyFrameRef,
    kvKeyFrameRef_Matrix,
    kvKeySurfaces,
    kvKeyMillAreaRef,
    kvKeyStarPRECISION,
    kvKeyTFBPointEnable,
    kvKeyTFBPoint,
    kvKeyTFBPointEnable2,
    kvKeyTFBPoint2,
    kvKeyToolCollisionCheck,
    kvKeyTwUiCyc_loc,
    kvKeyAnalyseType,
    kvKeyAnalyseMode,
    kvKeyAnalyseFavoritPos,
    kvKeyCadAttribute,
    kvKeyCadLayer,
    kvKeyCadColor,
    kvKeyPosInc,
    kvKeyMinDiameter,
    kvKeyMaxDiameter,
    kvKeyDiameterSteps,
    kvKeyShowKonkave,
    kvKeyShowKonvex,
    kvKeyShowUndercut,
    kvKeyMessage,
    kvKeyMinAngle,
    kvKeyAutoZoom,
    kvKeyMaxAngle,
    kvKeyAngleSteps,
    kvKeyTpPosUseframe,
    kvKeyTpPosUseface,
    kvKeyTpPosManuell,
    kvKeyTpPosManuellAxis,
    kvKeyAAngle,
    kvKeyBAngle,
    kvKeyCAngle,
    kvKeyXCoordinate,
    kvKeyYCoordinate,
    kvKeyZCoordinate,
    kvKeyAAngleMouse,
    kvKeyBAngleMouse,
    kvKeyCAngleMouse,
    kvKeyMachineAngle,
    kvKeyToolPosFrameMat,
    kvKeyToolPosFaceMat,
    kvKeyInfoColor,
    kvKeyInfoShowText_,
    kvKeyInfoText_,
    kvKeyInfoType,
    kvKeyInfoColor1,
    kvKeyInfoText1_,
    kvKeyInfoType1,
    kvKeyInfoAngle,
    kvKeyInfoDistance,
    kvKeyInfoRadius,
    kvKeyInfoDiameter,
    kvKeyInfoHoleDistance,
    kvKeyInfoPointDistance,
    kvKeyInfoDiameter1,
    kvKeyInfoDiameter2,
    kvKeyInfoConeAngle,
    kvKeyInfoDrillholeAngle,
    kvKeyInfoFaceholeAngle,
    kvKeyInfoAngledHoleDiff,
    kvKeyInfoHeight,
    kvKeyInfoMinRadius,
    kvKeyInfoMinRadiusU,
    kvKeyInfoMinRadiusV,
    kvKeyInfoMaxRadius,
    kvKeyInfoRadius1,
    kvKeyInfoRadius2,
    kvKeyInfoCoordinate,
    kvKeyToolLengthInc,
    kvKeyToolLengthOffset,
    kvKeyActionIncToolLength,
    kvKeyActionNewTool,
    kvKeyActionSearchTool,
    kvKeySearchOptDiameter,
    kvKeySearchOptDiameterTol,
    kvKeySearchOptCornerRad,
    kvKeySearchOptCornerRadTol,
};
